#include "support/program_run.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

pid_t testing_support::StartProgram(const TempInstallation& installation,
    const std::string& arguments, std::vector<std::string> environment)
{
    fs::path executable = installation.root / "Tools" / "Lobix_Config";
    if (!fs::exists(executable)) {
        std::error_code linkFailed;
        fs::create_hard_link(LOBIX_CONFIG_EXE, executable, linkFailed);
        if (linkFailed)
            fs::copy_file(LOBIX_CONFIG_EXE, executable);
    }
    environment.push_back("TARVEL_SERVICEPACK_LOG=" + installation.Path("servicepack.log"));
    if (std::none_of(environment.begin(), environment.end(),
            [](const std::string& entry) { return entry.starts_with("ASAN_OPTIONS="); }))
        environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    std::vector<std::string> argv { executable.string() };
    // Split at spaces only, so that a test can pass a tab inside an argument.
    std::istringstream words(arguments);
    for (std::string word; std::getline(words, word, ' ');)
        if (!word.empty())
            argv.push_back(word);
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list(texts.size() + 1); // ends in a null pointer
        std::ranges::transform(texts, list.begin(), [](std::string& text) { return text.data(); });
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
    return child;
}

int testing_support::WaitForProgram(pid_t program, std::chrono::microseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    pid_t ended;
    bool late = false;
    while ((ended = waitpid(program, &status, WNOHANG)) == 0) {
        if (!late && std::chrono::steady_clock::now() > deadline) {
            late = true;
            kill(program, SIGKILL); // then reaped
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (late || ended != program)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int testing_support::RunWithFault(const TempInstallation& installation, const Fault& fault,
    const std::string& arguments, const std::vector<std::string>& more)
{
    fs::remove(installation.root / "tally.bin");
    fs::path below = fs::canonical(installation.root);
    if (*fault.below)
        below /= fault.below;
    std::vector<std::string> environment = { "EDITOR=abc", "LD_PRELOAD=" LOBIX_FAULT_SEAM,
        "LOBIX_FAULT_PATH=" + below.string(), "LOBIX_FAULT_TALLY=" + installation.Path("tally.bin"),
        "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0" };
    if (fault.callClass) {
        environment.push_back(std::string("LOBIX_FAULT_CLASS=") + fault.callClass);
        environment.push_back("LOBIX_FAULT_AT=" + std::to_string(fault.at));
        environment.push_back(std::string("LOBIX_FAULT_ERRNO=") + fault.error);
    }
    if (fault.bytes >= 0)
        environment.push_back("LOBIX_FAULT_BYTES=" + std::to_string(fault.bytes));
    environment.insert(environment.end(), more.begin(), more.end());
    return WaitForProgram(StartProgram(installation, arguments, environment));
}

FaultTally testing_support::Tally(const TempInstallation& installation)
{
    FaultTally tally {};
    std::ifstream(installation.Path("tally.bin"), std::ios::binary)
        .read(reinterpret_cast<char*>(&tally), sizeof tally);
    return tally;
}
