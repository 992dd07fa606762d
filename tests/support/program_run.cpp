#include "support/program_run.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

static int Run(const testing_support::TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry, std::optional<std::chrono::microseconds> killAfter)
{
    fs::path executable = installation.root / "Tools" / "Lobix_Config";
    if (!fs::exists(executable)) {
        std::error_code linkFailed;
        fs::create_hard_link(LOBIX_CONFIG_EXE, executable, linkFailed);
        if (linkFailed)
            fs::copy_file(LOBIX_CONFIG_EXE, executable);
    }
    std::vector<std::string> argv { executable.string() }, environment { firstEnvironmentEntry,
        "TARVEL_SERVICEPACK_LOG=" + installation.Path("servicepack.log"), "ASAN_OPTIONS=detect_leaks=0" };
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
        argv.push_back(word);
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (std::string& text : texts)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argvList = pointers(argv), environmentList = pointers(environment);
    std::string errors = installation.Path("stderr.txt");
    pid_t child = fork();
    if (child == 0) {
        int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        execve(argvList[0], argvList.data(), environmentList.data());
        _exit(127);
    }
    if (killAfter) {
        std::this_thread::sleep_for(*killAfter);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int testing_support::RunProgram(const TempInstallation& installation, const std::string& arguments,
    const std::string& firstEnvironmentEntry)
{
    return Run(installation, arguments, firstEnvironmentEntry, std::nullopt);
}

int testing_support::RunProgramKilled(
    const TempInstallation& installation, const std::string& arguments, std::chrono::microseconds killAfter)
{
    return Run(installation, arguments, "EDITOR=abc", killAfter);
}
