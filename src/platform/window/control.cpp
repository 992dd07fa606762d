#include "platform/window/control.h"

#include "platform/window/widget_glue.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

namespace platform {

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
static int TabIndex(const QTabWidget& tabs, int tab)
{
    if (tab < 1 || tab > tabs.count())
        Raise(kSubscriptOutOfRange);
    return tab - 1;
}

int Control::TabCount() const { return As<QTabWidget>(widget_).count(); }

void Control::RemoveTab(int tab)
{
    QTabWidget& tabs = As<QTabWidget>(widget_);
    const QSignalBlocker byCode(tabs);
    const int index = TabIndex(tabs, tab);
    QWidget* page = tabs.widget(index);
    tabs.removeTab(index);
    delete page;
}

void Control::AddTab(const std::string& caption)
{
    QTabWidget& tabs = As<QTabWidget>(widget_);
    const QSignalBlocker byCode(tabs);
    tabs.addTab(new QWidget, ToQt(caption).replace(u'&', QStringLiteral("&&")));
}

int Control::SelectedTab() const { return As<QTabWidget>(widget_).currentIndex() + 1; }

void Control::SelectTab(int tab)
{
    QTabWidget& tabs = As<QTabWidget>(widget_);
    const QSignalBlocker byCode(tabs);
    tabs.setCurrentIndex(TabIndex(tabs, tab));
}

std::string Control::TabCaption(int tab) const
{
    const QTabWidget& tabs = As<QTabWidget>(widget_);
    return FromQt(
        tabs.tabText(TabIndex(tabs, tab)).replace(QStringLiteral("&&"), QStringLiteral("&")));
}

}
