// Runs the built program as a process inside a temporary installation.
#pragma once

#include "support/installation.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// Places the built executable at Tools/Lobix_Config (once) and starts it with the space-separated
// `arguments`; its environment is `environment` (the editor mark is computed from the first entry)
// and the service-pack log path. Standard error goes to stderr.txt of the installation.
pid_t StartProgram(const TempInstallation& installation, const std::string& arguments,
    std::vector<std::string> environment = { "EDITOR=abc" });

// Its exit status; -1 when it did not end normally, or had not ended once `limit` passed and
// was killed with SIGKILL.
int WaitForProgram(pid_t program, std::chrono::microseconds limit = std::chrono::minutes(2));

inline int RunProgram(const TempInstallation& installation, const std::string& arguments)
{
    return WaitForProgram(StartProgram(installation, arguments));
}

}
