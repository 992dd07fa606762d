// The built program meeting other programs at work: another run of it, and other writers of its
// databases. Each wait is bounded, and what another program does is never lost.
#include "support/databases.h"
#include "support/program_run.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;

namespace {

struct ConcurrentRun : testing::Test {
    TempInstallation installation;
    std::map<std::string, std::string> before;

    void SetUp() override
    {
        installation.Write("parameter/Program.ini",
            "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
        installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
        MakeDatabases(installation, "Filler", "visiwin32");
        before = installation.ProjectFiles();
    }

    // A run that meets a lock ends within the wait of a few seconds and says why. (Reading the
    // files here would let go of the test's own locks on them.)
    void ExpectRefused(const std::string& reason)
    {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(WaitForProgram(
                      StartProgram(installation, "/EXTERNAL=SILENT"), std::chrono::seconds(30)),
            1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_NE(installation.Read("servicepack.log").find(reason), std::string::npos)
            << installation.Read("servicepack.log");
    }
};

}

// A run that finds the installation held by another waits for it, and saves once it is let go.
// It is let go only once the run is seen waiting: the folder open to lock it, asleep between tries.
TEST_F(ConcurrentRun, ARunWaitsForAnotherToEndAndThenSaves)
{
    int folder = open(installation.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(folder, LOCK_EX), 0);
    pid_t run = StartProgram(installation, "/EXTERNAL=SILENT");
    const std::string process = "/proc/" + std::to_string(run);
    auto line = [&](const char* file) {
        std::string text;
        std::getline(std::ifstream(process + file) >> std::ws, text);
        return text;
    };
    auto waiting = [&] {
        std::error_code gone;
        if (line("/wchan").find("nanosleep") != std::string::npos)
            for (const auto& fd : std::filesystem::directory_iterator(process + "/fd", gone))
                if (std::filesystem::read_symlink(fd, gone) == installation.root)
                    return true;
        return false;
    };
    bool waited = false;
    while (!(waited = waiting()) && line("/stat").find(") Z") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(waited) << "the run ended without waiting";
    close(folder);
    EXPECT_EQ(WaitForProgram(run), 0);
    EXPECT_EQ(installation.Read("servicepack.log"), "");
    EXPECT_EQ(Rows(installation.Path("Lobix/Lobix.mdb"), "SELECT COUNT(*) FROM PRESET_DEFS"),
        std::vector<std::string> { "360" });
    for (const auto& [file, content] : installation.ProjectFiles())
        EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
}

TEST_F(ConcurrentRun, ARunHoldingTheInstallationKeepsAnotherOut)
{
    int folder = open(installation.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(folder, LOCK_EX), 0);
    ExpectRefused("is in use by another run of Lobix_Config.\n\rNothing was changed.");
    EXPECT_TRUE(installation.ProjectFiles() == before) << "a refused run changed a file";
    close(folder);
}

// Another program's write transaction, or its exclusive lock: the run gives up, and the other
// program's change, committed afterwards, is in the component database.
class AnotherWriter : public ConcurrentRun, public testing::WithParamInterface<const char*> { };

TEST_P(AnotherWriter, OfTheComponentDatabaseIsWaitedForAndKeepsItsChange)
{
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(installation.Path("Lobix/Lobix.mdb").c_str(), &other), SQLITE_OK);
    std::string change
        = "BEGIN " + std::string(GetParam()) + "; UPDATE PRESET_DEFS SET abs_max = 77 WHERE ID = 1";
    ASSERT_EQ(sqlite3_exec(other, change.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    ExpectRefused("it is in use by another program.\n\rNothing was saved.");
    EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(
        Rows(installation.Path("Lobix/Lobix.mdb"), "SELECT abs_max FROM PRESET_DEFS WHERE ID = 1"),
        std::vector<std::string> { "77.0" });
    std::map<std::string, std::string> after = installation.ProjectFiles();
    before["Lobix/Lobix.mdb"] = after["Lobix/Lobix.mdb"];
    EXPECT_TRUE(after == before) << "a refused run changed a file";
}

INSTANTIATE_TEST_SUITE_P(Locks, AnotherWriter, testing::Values("IMMEDIATE", "EXCLUSIVE"),
    [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
