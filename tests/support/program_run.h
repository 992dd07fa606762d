// Runs the built program as a process inside a temporary installation.
#pragma once

#include "support/installation.h"

#include <chrono>
#include <optional>
#include <string>

namespace testing_support {

// Places the built executable at Tools/Lobix_Config of the installation (once), runs it with
// `arguments` (blank-separated) in a clean environment whose first entry is
// `firstEnvironmentEntry`, and returns its exit status. Its standard error goes to the
// installation's stderr.txt.
int RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry = "EDITOR=abc");

// The same, killed with SIGKILL once `killAfter` has passed; -1 when it was killed, else its
// exit status.
int RunProgramKilled(const TempInstallation& installation, const std::string& arguments,
    std::chrono::microseconds killAfter);

}
