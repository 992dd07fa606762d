// Each control is a Qt widget; where Qt's own order of events differs from the one the dialog
// relies on, the widget subclass puts them in that order.
#include "platform/window/control_widgets.h"

#include "platform/window/button_pictures.h"
#include "platform/window/widget_glue.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace platform {

namespace {

    // A widget that raises its control's events. Unbound while the window is torn down, so that
    // no handler runs then.
    struct Bound {
        Control* control = nullptr;

        void Send(std::function<void()> Control::*event) const
        {
            if (control)
                Fire(control->*event);
        }
    };

    class TextBox final : public QLineEdit, public Bound {
    public:
        explicit TextBox(QWidget* parent)
            : QLineEdit(parent)
        {
            // Only the user's edits: SetText raises onChange itself.
            connect(this, &QLineEdit::textEdited, this, [this] {
                KeepFirstLine();
                Send(&Control::onChange);
            });
        }

    protected:
        // Focus that leaves for a popup or another window comes back to this box without the
        // box having lost it for the dialog.
        void focusInEvent(QFocusEvent* event) override
        {
            QLineEdit::focusInEvent(event);
            if (std::exchange(focused_, true))
                return;
            // The press that gave the focus would move the caret after onGotFocus has placed it.
            if (event->reason() == Qt::MouseFocusReason)
                gotFocusByPress_ = true;
            else
                Send(&Control::onGotFocus);
        }

        void focusOutEvent(QFocusEvent* event) override
        {
            QLineEdit::focusOutEvent(event);
            if (event->reason() == Qt::ActiveWindowFocusReason
                || event->reason() == Qt::PopupFocusReason)
                return;
            focused_ = false;
            gotFocusByPress_ = false;
            Send(&Control::onLostFocus);
        }

        void mousePressEvent(QMouseEvent* event) override
        {
            QLineEdit::mousePressEvent(event);
            if (std::exchange(gotFocusByPress_, false))
                Send(&Control::onGotFocus);
        }

        void mouseReleaseEvent(QMouseEvent* event) override
        {
            QLineEdit::mouseReleaseEvent(event);
            if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
                Send(&Control::onClick);
        }

    private:
        // A one-line box takes the first line of what is pasted or dropped, without its line end,
        // as the platform the window comes from does: a spreadsheet cell comes as "250\r\n". Only
        // an insertion brings a line end, and it ends at the caret.
        void KeepFirstLine()
        {
            const QString value = text();
            const qsizetype end = value.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
            if (end < 0)
                return;
            setText(value.left(end) + value.mid(std::max<qsizetype>(end, cursorPosition())));
            setCursorPosition(static_cast<int>(end));
        }

        bool focused_ = false;
        bool gotFocusByPress_ = false;
    };

    class CheckBox final : public QCheckBox, public Bound {
    public:
        using QCheckBox::QCheckBox;

    protected:
        // The user's click ticks a clear or grayed box and clears a ticked one; SetValue raises
        // onClick.
        void nextCheckState() override
        {
            if (control)
                control->SetValue(checkState() == Qt::Checked ? 0 : 1);
        }

        // Qt toggles the box inside the base handlers, so the release handlers come after them.
        void mouseReleaseEvent(QMouseEvent* event) override
        {
            QCheckBox::mouseReleaseEvent(event);
            Send(&Control::onMouseUp);
        }

        void keyReleaseEvent(QKeyEvent* event) override
        {
            QCheckBox::keyReleaseEvent(event);
            if (!event->isAutoRepeat())
                Send(&Control::onKeyUp);
        }
    };

    class Button final : public QPushButton, public Bound {
    public:
        Button(ButtonPicture picture, QWidget* parent)
            : QPushButton(parent)
            , picture_(picture)
        {
            connect(this, &QPushButton::clicked, this, [this] { Send(&Control::onClick); });
        }

    protected:
        // The picture is drawn when the button is first shown: a window that is never shown
        // (silent mode) draws none, and loads no font for one.
        void showEvent(QShowEvent* event) override
        {
            QPushButton::showEvent(event);
            const QPixmap picture = DrawButtonPicture(std::exchange(picture_, ButtonPicture::None));
            if (!picture.isNull()) {
                setIcon(QIcon(picture));
                setIconSize(picture.deviceIndependentSize().toSize());
            }
        }

        // Qt presses a button on Return only inside its own dialog class.
        void keyPressEvent(QKeyEvent* event) override
        {
            const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
            if (enter && !event->isAutoRepeat())
                click();
            else
                QPushButton::keyPressEvent(event);
        }

    private:
        ButtonPicture picture_;
    };

    // Tabs over a pane that fills the rest of the strip, as the tab strip's client area; the
    // dialog lays its own frame over that pane, so the page a tab widget needs per tab stays
    // empty. The tabs are as tall as their captions, and buttons of that height scroll them when
    // they overflow; the keyboard passes those by, since it reaches the tabs themselves.
    class TabStrip final : public QTabWidget, public Bound {
    public:
        explicit TabStrip(QWidget* parent)
            : QTabWidget(parent)
        {
            for (QToolButton* scroll : tabBar()->findChildren<QToolButton*>())
                scroll->setFocusPolicy(Qt::NoFocus);
            // Changes by code block the signals, so this is the user's choice.
            connect(this, &QTabWidget::currentChanged, this, [this] { Send(&Control::onClick); });
        }
    };

}

QWidget* MakeWidget(const ControlSpec& design, QWidget* parent)
{
    const QString caption = ToQt(design.caption);
    switch (design.type) {
    case ControlType::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlType::CommandButton: {
        auto* button = new Button(design.picture, parent);
        button->setText(caption);
        return button;
    }
    case ControlType::CheckBox:
        return new CheckBox(caption, parent);
    case ControlType::Frame:
        return new QGroupBox(caption, parent);
    case ControlType::TextBox:
        return new TextBox(parent);
    case ControlType::TabStrip:
        return new TabStrip(parent);
    }
    return nullptr;
}

void BindWidget(QWidget* widget, Control* control)
{
    if (auto* bound = dynamic_cast<Bound*>(widget))
        bound->control = control;
}

}
