#include "support/program_run.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
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
    while ((ended = waitpid(program, &status, WNOHANG)) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            kill(program, SIGKILL); // then reaped as killed
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // A program that could not be waited for has no status to pass a test with.
    return ended == program && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
