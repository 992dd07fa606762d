// What the window keeps for the run besides the cam settings.
#pragma once

#include <string>

namespace dialog {

struct WindowState {
    std::string ConfigurationIniPath;
    bool OkSequenceRunning = false;
};

WindowState& Window();

}
