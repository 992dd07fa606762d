// The application around the one window.
#pragma once

#include <functional>

namespace platform {

// True when a window can be shown: a platform was chosen for Qt, or an X11 or Wayland display
// is set.
bool HasDisplay();

// Creates the application (on Qt's offscreen platform when `headless`, without touching the
// process environment), runs `body` and returns its result.
int RunApplication(int argc, char** argv, bool headless, const std::function<int()>& body);

}
