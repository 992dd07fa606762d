// How this run was started: plain facts that the start-up decides once from the command line
// and that the reports, the paths and the database work read.
#pragma once

#include "platform/system/failure.h"

#include <string>
#include <vector>

namespace diagnostics {

struct StartModes {
    bool Decided = false; // the command line has been read
    bool StartModeIntegrated = false;
    bool SilentMode = false;
    std::string LogfilePath; // the LOGFILE value as typed; the error log when integrated
    // Keys that could not be read, kept until the program can report them.
    std::vector<platform::Failure> CommandLineFailures;
};

// The flags of this run; false and "" until the start mode is decided.
StartModes& Modes();

}
