#include "support/program_run.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;

int testing_support::RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry)
{
    fs::path executable = installation.root / "Tools" / "Lobix_Config";
    if (!fs::exists(executable)) {
        std::error_code linkFailed;
        fs::create_hard_link(LOBIX_CONFIG_EXE, executable, linkFailed);
        if (linkFailed)
            fs::copy_file(LOBIX_CONFIG_EXE, executable);
    }
    std::string command = "env -i '" + firstEnvironmentEntry + "' TARVEL_SERVICEPACK_LOG='"
        + installation.Path("servicepack.log") + "' ASAN_OPTIONS=detect_leaks=0 '" + executable.string()
        + "' " + arguments + " 2>'" + installation.Path("stderr.txt") + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
