#include "support/program_run.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

static std::string Command(const testing_support::TempInstallation& installation,
    const std::string& arguments, const std::string& environment)
{
    fs::path executable = installation.root / "Tools" / "Lobix_Config";
    if (!fs::exists(executable)) {
        std::error_code linkFailed;
        fs::create_hard_link(LOBIX_CONFIG_EXE, executable, linkFailed);
        if (linkFailed)
            fs::copy_file(LOBIX_CONFIG_EXE, executable);
    }
    return "env -i " + environment + " TARVEL_SERVICEPACK_LOG='"
        + installation.Path("servicepack.log") + "' ASAN_OPTIONS=detect_leaks=0 '"
        + executable.string() + "' " + arguments + " 2>'" + installation.Path("stderr.txt") + "'";
}

int testing_support::RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry)
{
    int status
        = std::system(Command(installation, arguments, "'" + firstEnvironmentEntry + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t testing_support::StartProgram(const TempInstallation& installation,
    const std::string& arguments, const std::string& environment)
{
    const std::string command = "exec " + Command(installation, arguments, environment);
    pid_t program = fork();
    if (program == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return program;
}

int testing_support::WaitForProgram(pid_t program, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(program, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(program, SIGKILL);
            waitpid(program, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
