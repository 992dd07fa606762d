// The built program started by hand. Asked for its usage or its version, as Linux users ask, it
// prints them and ends, reading and writing no file of the installation. Otherwise it opens its
// window on the X server that DISPLAY names: a stand-in server takes the connections, the one that
// asks whether a display is there saying nothing, Qt's greeting it as an X client does; then it
// hangs up, and the run ends there.
#include "support/program_run.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

TEST(Usage, HelpAndVersionArePrintedWithoutTouchingAFile)
{
    const std::pair<const char*, const char*> cases[] = {
        { "--help", "/EXTERNAL=SILENT" },
        { "--version", "Lobix_Config 1.0.0\n" },
    };
    for (const auto& [option, piece] : cases) {
        TempInstallation installation;
        installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
        const auto before = installation.ProjectFiles();
        int output[2];
        ASSERT_EQ(pipe(output), 0);
        pid_t program = fork();
        if (program == 0) {
            dup2(output[1], STDOUT_FILENO);
            _exit(WaitForProgram(StartProgram(installation, option, {})));
        }
        close(output[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<size_t>(got));
        close(output[0]);
        int status = 0;
        waitpid(program, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0) << option;
        EXPECT_NE(text.find(piece), std::string::npos) << text;
        EXPECT_TRUE(installation.ProjectFiles() == before) << option;
        EXPECT_FALSE(installation.Exists("Tools/Lobix_Config.ini")) << option;
        EXPECT_EQ(installation.Read("stderr.txt"), "") << option;
    }
}

TEST(InteractiveStart, OpensTheWindowOnTheDisplayNamed)
{
    TempInstallation installation;
    const std::string display = std::to_string(1000 + getpid() % 30000);
    const std::string name = "/tmp/.X11-unix/X" + display; // in the abstract namespace
    sockaddr_un address { .sun_family = AF_UNIX, .sun_path = {} };
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address),
                  socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())),
        0);
    ASSERT_EQ(listen(server, 4), 0);
    pid_t program = StartProgram(installation, "", { "EDITOR=abc", "DISPLAY=:" + display });
    bool greeted = false; // byte order, unused, protocol version 11
    for (pollfd waiting { server, POLLIN, 0 }; !greeted && poll(&waiting, 1, 30000) == 1;) {
        const int client = accept(server, nullptr, nullptr);
        pollfd reading { client, POLLIN, 0 };
        char greeting[4] = {};
        greeted = poll(&reading, 1, 30000) == 1 && recv(client, greeting, 4, MSG_WAITALL) == 4
            && greeting[0] == 'l' && greeting[2] == 11;
        close(client);
    }
    close(server);
    EXPECT_TRUE(greeted) << installation.Read("stderr.txt");
    kill(program, SIGKILL); // where it did not end at the hang-up
    WaitForProgram(program);
}
