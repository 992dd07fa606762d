// The built program asked for its usage or its version, as Linux users ask: it prints them and
// ends, reading and writing no file of the installation.
#include "support/program_run.h"

#include <gtest/gtest.h>
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
