// Runs the built program as a process inside a temporary installation, through the fault seam
// where a test asks for failing calls.
#pragma once

#include "support/fault_seam.h"
#include "support/installation.h"

#include <cctype>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// Places the built executable at Tools/Lobix_Config (once) and starts it with the space-separated
// `arguments`; its environment is `environment` (the editor mark is computed from the first entry)
// and the service-pack log path. Standard error goes to stderr.txt of the installation.
pid_t StartProgram(const TempInstallation& installation, const std::string& arguments,
    std::vector<std::string> environment = { "EDITOR=abc" });

// Its exit status; 128 + the signal's number when a signal ended it; -1 when it was still running
// once `limit` passed (it is then killed).
int WaitForProgram(pid_t program, std::chrono::microseconds limit = std::chrono::minutes(2));

inline int RunProgram(const TempInstallation& installation, const std::string& arguments)
{
    return WaitForProgram(StartProgram(installation, arguments));
}

// A fault of the seam (fault_seam.c): the `at`th call of `callClass` on a file below `below`
// (relative to the installation; "" for all of it) fails with `error` ("EIO", "ENOSPC", or
// "KILL" for a SIGKILL), or with `bytes` of 0 or more, every write once that many were written
// there fails with ENOSPC. The calls are counted in tally.bin of the installation.
struct Fault {
    const char* callClass = nullptr;
    long long at = 0;
    const char* error = "EIO";
    long long bytes = -1;
    const char* below = "";
};

// A run through the seam with `fault`, silent unless `arguments` say otherwise, with `more`
// entries in its environment.
int RunWithFault(const TempInstallation& installation, const Fault& fault,
    const std::string& arguments = "/EXTERNAL=SILENT", const std::vector<std::string>& more = {});

// The calls the seam counted in the last run through it.
FaultTally Tally(const TempInstallation& installation);

// A case's name as a test's name: letters and digits kept, anything else "_".
template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

}
