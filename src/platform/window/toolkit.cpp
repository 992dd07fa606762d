// The window toolkit over Qt Widgets. Each control is a Qt widget; where Qt's own order of events
// differs from the one the dialog relies on, the widget subclass below puts them in that order.
#include "platform/window/toolkit.h"

#include "platform/profile/text_encoding.h"

#include "platform/window/button_pictures.h"
#include "platform/system/failure.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace platform {

namespace {

    class DialogWindow;

    struct Toolkit {
        DialogWindow* window = nullptr; // owns every widget; deleted by DestroyWindow
        std::vector<std::unique_ptr<Control>> owned;
        std::vector<Control*> controls;
        WindowEvents events;
        int pointer = kDefaultPointer;
        QEventLoop* loop = nullptr; // the loop of ShowWindowAndRun while it runs
    };

}

static Toolkit& State()
{
    static Toolkit state;
    return state;
}

// Calls a handler through a copy, so that it may replace itself while it runs.
static void Fire(std::function<void()> handler)
{
    if (handler)
        handler();
}

// Texts may come from language files written on Windows.
static QString ToQt(const std::string& text)
{
    return DecodeText(text);
}

static std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

static int Pixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

namespace {

    class DialogWindow final : public QWidget {
    public:
        DialogWindow()
            : QWidget(nullptr, Qt::Dialog)
        {
        }

    protected:
        bool event(QEvent* event) override
        {
            const bool handled = QWidget::event(event);
            if (event->type() == QEvent::WindowActivate)
                Fire(State().events.onActivate);
            return handled;
        }

        void resizeEvent(QResizeEvent*) override { Fire(State().events.onResize); }

        // Keys that no control took come here.
        void keyPressEvent(QKeyEvent* event) override
        {
            if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
                close();
            else
                QWidget::keyPressEvent(event);
        }

        void closeEvent(QCloseEvent* event) override
        {
            bool cancel = false;
            if (auto handler = State().events.onQueryUnload)
                handler(cancel);
            event->setAccepted(!cancel);
            if (!cancel && State().loop)
                State().loop->quit();
        }
    };

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
            connect(this, &QLineEdit::textEdited, this, [this] { Send(&Control::onChange); });
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
        explicit Button(QWidget* parent)
            : QPushButton(parent)
        {
            connect(this, &QPushButton::clicked, this, [this] { Send(&Control::onClick); });
        }

    protected:
        // Qt presses a button on Return only inside its own dialog class.
        void keyPressEvent(QKeyEvent* event) override
        {
            const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
            if (enter && !event->isAutoRepeat())
                click();
            else
                QPushButton::keyPressEvent(event);
        }
    };

    // Tabs over a pane that fills the rest of the strip, as the tab strip's client area; the
    // dialog lays its own frame over that pane.
    class TabStrip final : public QTabBar, public Bound {
    public:
        explicit TabStrip(QWidget* parent)
            : QTabBar(parent)
        {
            setDrawBase(false);
            setExpanding(false);
            // Changes by code block the signals, so this is the user's choice.
            connect(this, &QTabBar::currentChanged, this, [this] { Send(&Control::onClick); });
        }

    protected:
        void paintEvent(QPaintEvent* event) override
        {
            const int tabsHeight = count() ? tabRect(0).height() : 0;
            const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
            QStyleOptionTabWidgetFrame pane;
            pane.initFrom(this);
            pane.rect = rect().adjusted(0, tabsHeight - overlap, 0, 0);
            pane.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
            pane.shape = shape();
            pane.tabBarSize = QSize(width(), tabsHeight);
            pane.tabBarRect = QRect(0, 0, width(), tabsHeight);
            QStylePainter(this).drawPrimitive(QStyle::PE_FrameTabWidget, pane);
            QTabBar::paintEvent(event);
            // Styles draw the selected tab on into the pane, where a tab widget's page hides it.
            QStylePainter painter(this);
            painter.setClipRect(rect().adjusted(0, tabsHeight, 0, 0));
            painter.drawPrimitive(QStyle::PE_FrameTabWidget, pane);
        }
    };

}

// The widget as the Qt class that a property needs; a control type without that property is an
// invalid call.
template <class Widget> static Widget& As(QWidget* widget)
{
    auto* typed = qobject_cast<Widget*>(widget);
    if (!typed)
        Raise(kInvalidArgument);
    return *typed;
}

static DialogWindow& TheWindow()
{
    if (!State().window)
        Raise(kObjectNotSet);
    return *State().window;
}

const char* TypeName(ControlType type)
{
    switch (type) {
    case ControlType::Label:
        return "LABEL";
    case ControlType::CommandButton:
        return "COMMANDBUTTON";
    case ControlType::CheckBox:
        return "CHECKBOX";
    case ControlType::Frame:
        return "FRAME";
    case ControlType::TextBox:
        return "TEXTBOX";
    case ControlType::TabStrip:
        return "TABSTRIP";
    }
    return "";
}

std::string Control::Caption() const
{
    if (auto* label = qobject_cast<QLabel*>(widget_))
        return FromQt(label->text());
    if (auto* frame = qobject_cast<QGroupBox*>(widget_))
        return FromQt(frame->title());
    return FromQt(As<QAbstractButton>(widget_).text());
}

void Control::SetCaption(const std::string& caption)
{
    if (auto* label = qobject_cast<QLabel*>(widget_))
        label->setText(ToQt(caption));
    else if (auto* frame = qobject_cast<QGroupBox*>(widget_))
        frame->setTitle(ToQt(caption));
    else
        As<QAbstractButton>(widget_).setText(ToQt(caption));
}

std::string Control::ToolTip() const { return FromQt(widget_->toolTip()); }

void Control::SetToolTip(const std::string& text) { widget_->setToolTip(ToQt(text)); }

std::string Control::Text() const { return FromQt(As<QLineEdit>(widget_).text()); }

void Control::SetText(const std::string& text)
{
    QLineEdit& box = As<QLineEdit>(widget_);
    const QString value = ToQt(text);
    if (value == box.text())
        return;
    box.setText(value);
    // As on the platform the window comes from, a text set by code shows from its start.
    box.setCursorPosition(0);
    Fire(onChange);
}

int Control::CaretPosition() const
{
    const QLineEdit& box = As<QLineEdit>(widget_);
    return box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
}

void Control::SetCaretPosition(int position)
{
    QLineEdit& box = As<QLineEdit>(widget_);
    box.setCursorPosition(std::clamp(position, 0, static_cast<int>(box.text().size())));
}

int Control::SelectionLength() const { return As<QLineEdit>(widget_).selectionLength(); }

void Control::SetSelectionLength(int length)
{
    QLineEdit& box = As<QLineEdit>(widget_);
    const int start = CaretPosition();
    box.setSelection(start, std::clamp(length, 0, static_cast<int>(box.text().size()) - start));
}

// Check box states by value: 0 clear, 1 ticked, 2 grayed.
static constexpr Qt::CheckState kCheckStates[]
    = { Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked };

int Control::Value() const
{
    const Qt::CheckState state = As<QCheckBox>(widget_).checkState();
    return static_cast<int>(std::find(std::begin(kCheckStates), std::end(kCheckStates), state)
        - std::begin(kCheckStates));
}

void Control::SetValue(int state)
{
    QCheckBox& box = As<QCheckBox>(widget_);
    if (state < 0 || state > 2)
        Raise(kInvalidArgument);
    if (state == Value())
        return;
    box.setCheckState(kCheckStates[state]);
    Fire(onClick);
}

bool Control::Enabled() const { return widget_->isEnabledTo(widget_->parentWidget()); }

void Control::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }

void Control::SetFocus() { widget_->setFocus(Qt::OtherFocusReason); }

std::string Control::AccessibleName() const { return FromQt(widget_->accessibleName()); }

void Control::SetAccessibleName(const std::string& name) { widget_->setAccessibleName(ToQt(name)); }

std::uint32_t Control::BackColor() const { return backColor_; }

void Control::SetBackColor(std::uint32_t color)
{
    backColor_ = color;
    // A system colour is the platform's own: the palette the widget inherits.
    if (color & 0x80000000) {
        widget_->setPalette(QPalette());
        return;
    }
    QPalette palette = widget_->palette();
    palette.setColor(
        QPalette::Button, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
    widget_->setPalette(palette);
}

// The list index of tab number `tab`; a tab that does not exist is out of range.
static int TabIndex(const QTabBar& bar, int tab)
{
    if (tab < 1 || tab > bar.count())
        Raise(kSubscriptOutOfRange);
    return tab - 1;
}

int Control::TabCount() const { return As<QTabBar>(widget_).count(); }

void Control::RemoveTab(int tab)
{
    QTabBar& bar = As<QTabBar>(widget_);
    const QSignalBlocker byCode(bar);
    bar.removeTab(TabIndex(bar, tab));
}

void Control::AddTab(const std::string& caption)
{
    QTabBar& bar = As<QTabBar>(widget_);
    const QSignalBlocker byCode(bar);
    bar.addTab(ToQt(caption));
}

int Control::SelectedTab() const { return As<QTabBar>(widget_).currentIndex() + 1; }

void Control::SelectTab(int tab)
{
    QTabBar& bar = As<QTabBar>(widget_);
    const QSignalBlocker byCode(bar);
    bar.setCurrentIndex(TabIndex(bar, tab));
}

std::string Control::TabCaption(int tab) const
{
    const QTabBar& bar = As<QTabBar>(widget_);
    return FromQt(bar.tabText(TabIndex(bar, tab)));
}

static QWidget* MakeWidget(const ControlSpec& design, QWidget* parent)
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
        auto* button = new Button(parent);
        button->setText(caption);
        const QPixmap picture = DrawButtonPicture(design.picture);
        if (!picture.isNull()) {
            button->setIcon(QIcon(picture));
            button->setIconSize(picture.deviceIndependentSize().toSize());
        }
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

// The platform's sans family, condensed: its usual faces run wider than the MS Sans Serif that
// the window's captions were laid out for, and would be clipped. Text boxes narrower still, so
// that six characters ("-32768") show whole in a box of 600 twips.
static QFont FontOf(const ControlSpec& design)
{
    QFont font = QApplication::font();
    font.setStretch(design.type == ControlType::TextBox ? QFont::ExtraCondensed : QFont::Condensed);
    font.setPointSizeF(design.fontPoints);
    font.setBold(design.bold);
    return font;
}

// Deletes the window and its controls, first unbinding them so that no handler runs meanwhile.
static void RemoveWindow()
{
    Toolkit& state = State();
    for (Control* control : state.controls) {
        if (auto* bound = dynamic_cast<Bound*>(control->Widget()))
            bound->control = nullptr;
    }
    delete std::exchange(state.window, nullptr);
    state.controls.clear();
    state.owned.clear();
}

void CreateWindow(int clientWidth, int clientHeight, const std::string& caption)
{
    RemoveWindow();
    auto* window = new DialogWindow;
    window->setFixedSize(Pixels(clientWidth), Pixels(clientHeight));
    window->setWindowTitle(ToQt(caption));
    State().window = window;
}

void DestroyWindow()
{
    RemoveWindow();
    SetMousePointer(kDefaultPointer);
    State().events = {};
}

Control& AddControl(const ControlSpec& design)
{
    QWidget* parent = design.parent ? design.parent->Widget() : &TheWindow();
    QWidget* widget = MakeWidget(design, parent);
    widget->setGeometry(
        Pixels(design.left), Pixels(design.top), Pixels(design.width), Pixels(design.height));
    widget->setFont(FontOf(design));
    widget->setEnabled(design.enabled);
    widget->setAccessibleName(ToQt(design.accessibleName));
    widget->show();
    Toolkit& state = State();
    Control& control = *state.owned.emplace_back(std::make_unique<Control>(design, widget));
    if (auto* bound = dynamic_cast<Bound*>(widget))
        bound->control = &control;
    state.controls.push_back(&control);
    return control;
}

const std::vector<Control*>& Controls() { return State().controls; }

Control* FindControl(const std::string& name, int index)
{
    for (Control* control : State().controls) {
        if (control->Name() == name && control->Index() == index)
            return control;
    }
    return nullptr;
}

std::string WindowCaption() { return FromQt(TheWindow().windowTitle()); }

void SetWindowCaption(const std::string& caption) { TheWindow().setWindowTitle(ToQt(caption)); }

void SetMousePointer(int pointer)
{
    Toolkit& state = State();
    const bool wasWaiting = state.pointer == kHourglassPointer;
    const bool waiting = pointer == kHourglassPointer;
    state.pointer = pointer;
    if (waiting && !wasWaiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (wasWaiting && !waiting)
        QApplication::restoreOverrideCursor();
}

void ProcessPendingMessages() { QCoreApplication::processEvents(); }

WindowEvents& Events() { return State().events; }

int ShowWindowAndRun()
{
    DialogWindow& window = TheWindow();
    QEventLoop loop;
    const QScopedValueRollback running(State().loop, &loop);
    window.show();
    // A handler may have closed the window while it was shown; quit() before exec() is lost.
    if (window.isVisible())
        loop.exec();
    return 0;
}

QWidget* WindowWidget() { return State().window; }

}
