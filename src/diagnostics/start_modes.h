// How this run was started: plain facts that the start-up decides from the command line and
// that the reports, the paths and the database work read.
#pragma once

#include <string>

namespace diagnostics {

struct StartModes {
    bool StartModeIntegrated = false;
    bool SilentMode = false;
    std::string LogfilePath; // the LOGFILE value as typed, kept while integrated; "" otherwise
};

// The flags of this run; false and "" until the start mode is decided.
StartModes& Modes();

}
