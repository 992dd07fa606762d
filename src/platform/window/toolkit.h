// The window toolkit: one window with controls in control arrays, and the events the dialog
// relies on, in the orders it relies on. It moves values and events; it decides nothing.
#pragma once

#include "platform/window/control.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace platform {

// Creates the one window, client area in twips, hidden. Replaces a window made before.
void CreateWindow(int clientWidth, int clientHeight, const std::string& caption);

// Destroys the window and its controls (tests start each case afresh).
void DestroyWindow();

// Adds a control to the window; the window owns it.
Control& AddControl(const ControlSpec& design);

// All controls in the order they were added.
const std::vector<Control*>& Controls();

// The control of that name and index (-1 for a single control); nullptr when there is none.
Control* FindControl(const std::string& name, int index = -1);

std::string WindowCaption();
void SetWindowCaption(const std::string& caption);
void SetMousePointer(int pointer);

// Lets the window handle pending events from inside a handler.
void ProcessPendingMessages();

// Window events: activation, resize, and the close request with its Cancel flag. Escape is a
// close request, as the close box is; Return and Enter on a button press it, as Space does.
// onSwitchTab: the keys of tabbed dialogs anywhere in the window, Ctrl+Tab and Ctrl+Page Down
// for the next tab (step 1), Ctrl+Shift+Tab and Ctrl+Page Up for the previous one (step -1).
struct WindowEvents {
    std::function<void()> onActivate, onResize;
    std::function<void(bool& cancel)> onQueryUnload;
    std::function<void(int step)> onSwitchTab;
};
WindowEvents& Events();

// Shows the window and runs the event loop until the window closes; returns the exit status.
int ShowWindowAndRun();

// The window as a widget, for screenshots and tests; nullptr before CreateWindow.
QWidget* WindowWidget();

}
