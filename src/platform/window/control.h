// A control of the window: what it is made from and what the dialog reads, sets and hears of it.
#pragma once

#include "platform/window/window_types.h"

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace platform {

class Control;

// Everything a control is made from. Positions and sizes are twips relative to the parent
// (15 twips to a pixel at 100 %). Texts are UTF-8.
struct ControlSpec {
    ControlType type = ControlType::Label;
    std::string name {};
    int index = -1; // index within its control array; -1 for a single control
    Control* parent = nullptr; // nullptr: the window itself
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption {};
    std::string tag {};
    long helpId = 0; // WhatsThisHelpID; 0 for none
    double fontPoints = 8.25;
    bool bold = true;
    bool enabled = true;
    ButtonPicture picture = ButtonPicture::None;
    std::string accessibleName {}; // for screen readers and tests
};

class Control {
public:
    const std::string& Name() const { return design_.name; }
    int Index() const { return design_.index; }
    ControlType Type() const { return design_.type; }
    const std::string& Tag() const { return design_.tag; }
    long HelpId() const { return design_.helpId; }

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    std::string ToolTip() const;
    void SetToolTip(const std::string& text);

    // Text boxes. Setting a different text raises onChange at once, also from inside onChange.
    std::string Text() const;
    void SetText(const std::string& text);
    int CaretPosition() const;
    void SetCaretPosition(int position); // beyond the end: at the end
    int SelectionLength() const;
    void SetSelectionLength(int length); // from the caret position on

    // Check boxes: 0 clear, 1 ticked, 2 grayed. Setting a different state raises onClick at once.
    int Value() const;
    void SetValue(int state);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Where keys go; a hidden window gives it to this control once it is shown and active.
    void SetFocus();
    std::string AccessibleName() const;
    void SetAccessibleName(const std::string& name);
    std::uint32_t BackColor() const;
    void SetBackColor(std::uint32_t color); // an RGB value, or kButtonFaceColor

    // Tab strips; tabs are numbered from 1. Changing tabs by code never raises onClick.
    int TabCount() const;
    void RemoveTab(int tab);
    void AddTab(const std::string& caption); // shown as it is: an "&" is no access key
    int SelectedTab() const; // 0 when there is none
    void SelectTab(int tab);
    std::string TabCaption(int tab) const;

    // Events. onClick: a button pressed, a check box's state changed (by the user or by code), a
    // text box clicked, a tab selected by the user. onKeyUp and onMouseUp of a check box come
    // after the toggle and see its new state.
    std::function<void()> onChange, onGotFocus, onLostFocus, onClick, onKeyUp, onMouseUp;

    QWidget* Widget() const { return widget_; }
    Control(const ControlSpec& design, QWidget* widget)
        : design_(design)
        , widget_(widget)
    {
    }

private:
    ControlSpec design_;
    QWidget* widget_;
    std::uint32_t backColor_ = kButtonFaceColor; // what SetBackColor was given last
};

}
