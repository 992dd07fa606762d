// The silent OK run of the largest project killed at evenly spread moments: every file it
// replaces is left whole, as it was or as a finished run leaves it.
#include "support/databases.h"
#include "support/program_run.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(InterruptedRun, LeavesEveryFileAsItWasOrAsAFinishedRunLeavesIt)
{
    TempInstallation installation;
    std::string programIni = "[Project]\r\nNumberOfMachines=5\r\n", cfg = "[Project]\r\n";
    const char* names[] = { "Filler", "Packer", "Labeller", "Wrapper", "Palletizer" };
    for (int m = 1; m <= 5; ++m) {
        programIni += "[Machine" + std::to_string(m) + "]\r\nMachineName=" + names[m - 1] + "\r\nCamScaleEnd7=300\r\n";
        cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
    }
    installation.Write("parameter/Program.ini", programIni + "[Machine1]\r\nCamNr270=true\r\n");
    installation.Write("Lobix/Lobix.cfg", cfg);
    MakeDatabases(installation, "Filler,Packer,Labeller,Wrapper,Palletizer", "studio");
    const std::map<std::string, std::string> old = installation.ProjectFiles();
    auto restore = [&] {
        for (const char* folder : { "parameter", "Lobix" })
            for (const auto& entry : std::filesystem::directory_iterator(installation.root / folder))
                std::filesystem::remove(entry.path());
        for (const auto& [path, content] : old)
            installation.Write(path, content);
    };

    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");
    auto duration = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::map<std::string, std::string> finished = installation.ProjectFiles();
    ASSERT_NE(finished.at("parameter/Program.ini"), old.at("parameter/Program.ini"));

    const char* setting = std::getenv("LOBIX_KILL_MOMENTS");
    const int moments = setting ? std::atoi(setting) : 20;
    for (int i = 1; i <= moments; ++i) {
        restore();
        RunProgramKilled(installation, "/EXTERNAL=SILENT", duration * i / (moments + 1));
        std::map<std::string, std::string> now = installation.ProjectFiles();
        for (const char* file : { "parameter/Program.ini", "Lobix/Lobix.cfg", "Lobix/Lobix.mdb" })
            EXPECT_TRUE(now[file] == old.at(file) || now[file] == finished.at(file)) << file << " at moment " << i;
        for (const char* database : { "Lobix/Lobix.mdb", "Lobix/Lobix_Source.mdb" })
            EXPECT_EQ(Rows(installation.Path(database), "PRAGMA integrity_check"), std::vector<std::string> { "ok" })
                << database << " at moment " << i;
    }
}
