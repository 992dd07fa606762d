// Runs the built program as a process inside a temporary installation.
#pragma once

#include "support/installation.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// Places the built executable at Tools/Lobix_Config of the installation (once), runs it with
// the space-separated `arguments`, and returns its exit status (-1 when it did not end normally).
// The environment holds only `firstEnvironmentEntry` (the editor mark is computed from it) and
// the service-pack log path; standard error goes to stderr.txt of the installation.
int RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry = "EDITOR=abc");

// Starts it the same way with `environment` ("NAME=value" entries, the first one first) and
// returns at once with its process id.
pid_t StartProgram(const TempInstallation& installation, const std::string& arguments,
    std::vector<std::string> environment);

// Its exit status once it has ended; -1 when it has not ended within `seconds` (it is then
// killed) or did not end normally.
int WaitForProgram(pid_t program, int seconds);

// The same run, killed with SIGKILL once `killAfter` has passed; -1 when it was killed, else its
// exit status.
int RunProgramKilled(const TempInstallation& installation, const std::string& arguments,
    std::chrono::microseconds killAfter);

}
