// The application around the one window.
#pragma once

#include <functional>

namespace platform {

// True when a window can be shown: Qt's platform (QT_QPA_PLATFORM) is one that needs no display
// server (offscreen, vnc, ...), or the display server that Qt would use accepts a connection:
// the X server that DISPLAY names, or with QT_QPA_PLATFORM=wayland the compositor that
// WAYLAND_DISPLAY names.
bool HasDisplay();

// Creates the application (on Qt's offscreen platform when `headless`, chosen by argument rather
// than through the environment), runs `body` and returns its result. Without XDG_RUNTIME_DIR it
// names a private runtime folder for Qt first, so that Qt has no warning to print.
int RunApplication(int argc, char** argv, bool headless, const std::function<int()>& body);

}
