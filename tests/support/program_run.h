// Runs the built program as a process inside a temporary installation.
#pragma once

#include "support/installation.h"

#include <string>
#include <sys/types.h>

namespace testing_support {

// Places the built executable at Tools/Lobix_Config of the installation (once), runs it with
// `arguments` in a clean environment whose first entry is `firstEnvironmentEntry`, and returns
// its exit status. Its standard error goes to the installation's stderr.txt.
int RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry = "EDITOR=abc");

// Starts it the same way with `environment` ("NAME=value ...", shell-quoted) added, and returns
// at once with its process id.
pid_t StartProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& environment);

// Its exit status once it has ended; -1 when it has not ended within `seconds` (it is then
// killed) or did not end normally.
int WaitForProgram(pid_t program, int seconds);

}
