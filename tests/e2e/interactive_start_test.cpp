// The built program started by hand opens its window on the X server that DISPLAY names. A
// stand-in server takes the connections: the one that asks whether a display is there says
// nothing, Qt's greets it as an X client does; then it hangs up, and the run ends there.
#include "support/program_run.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testing_support;

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
