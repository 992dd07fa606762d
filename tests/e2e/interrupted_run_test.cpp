// The silent OK run of the largest project killed at evenly spread moments: every file it
// replaces is left whole, as it was or as a finished run leaves it, and the next run succeeds
// and clears up after the killed one.
#include "support/databases.h"
#include "support/program_run.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

using namespace testing_support;

TEST(InterruptedRun, LeavesEveryFileAsItWasOrAsAFinishedRunLeavesIt)
{
    TempInstallation installation;
    std::string programIni = "[Project]\r\nNumberOfMachines=5\r\n", cfg = "[Project]\r\n";
    const char* names[] = { "Filler", "Packer", "Labeller", "Wrapper", "Palletizer" };
    for (int m = 1; m <= 5; ++m) {
        programIni += "[Machine" + std::to_string(m) + "]\r\nMachineName=" + names[m - 1]
            + "\r\nCamScaleEnd7=300\r\n";
        cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
    }
    installation.Write("parameter/Program.ini", programIni + "[Machine1]\r\nCamNr270=true\r\n");
    installation.Write("Lobix/Lobix.cfg", cfg);
    // Without its entries, the language file is written during the run too.
    installation.Write("Tools/Lobix_Config.ini", "[Language]\r\nLanguage=1031\r\n");
    MakeDatabases(installation, "Filler,Packer,Labeller,Wrapper,Palletizer", "studio");
    auto files = [&] {
        std::map<std::string, std::string> all = installation.ProjectFiles();
        all["Tools/Lobix_Config.ini"] = installation.Read("Tools/Lobix_Config.ini");
        return all;
    };
    const std::map<std::string, std::string> old = files();
    auto restore = [&] {
        for (const char* folder : { "parameter", "Lobix" })
            for (const auto& entry :
                std::filesystem::directory_iterator(installation.root / folder))
                std::filesystem::remove(entry.path());
        for (const auto& [path, content] : old)
            installation.Write(path, content);
    };

    auto temporaryFiles = [&] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(installation.root))
            if (entry.path().filename().string().find(".tmp") != std::string::npos)
                found.push_back(entry.path().string());
        return found;
    };

    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");
    auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    const std::map<std::string, std::string> finished = files();
    ASSERT_NE(finished.at("parameter/Program.ini"), old.at("parameter/Program.ini"));

    const char* setting = std::getenv("LOBIX_KILL_MOMENTS");
    const int moments = setting ? std::atoi(setting) : 10;
    for (int i = 1; i <= moments; ++i) {
        SCOPED_TRACE("moment " + std::to_string(i));
        restore();
        WaitForProgram(
            StartProgram(installation, "/EXTERNAL=SILENT"), duration * i / (moments + 1));
        std::map<std::string, std::string> now = files();
        // Every line of an INI file stands in the old or the finished file, and the last is whole.
        for (const char* file :
            { "parameter/Program.ini", "Lobix/Lobix.cfg", "Tools/Lobix_Config.ini" }) {
            std::set<std::string> known;
            for (const auto* text : { &old.at(file), &finished.at(file) })
                for (const std::string& line : Lines(*text))
                    known.insert(line);
            for (const std::string& line : Lines(now[file]))
                EXPECT_TRUE(known.count(line)) << "'" << line << "' in " << file;
            EXPECT_TRUE(now[file].empty() || now[file].ends_with("\r\n")) << file;
        }
        const std::string& component = now["Lobix/Lobix.mdb"];
        EXPECT_TRUE(
            component == old.at("Lobix/Lobix.mdb") || component == finished.at("Lobix/Lobix.mdb"));
        for (const char* database : { "Lobix/Lobix.mdb", "Lobix/Lobix_Source.mdb" })
            EXPECT_EQ(Rows(installation.Path(database), "PRAGMA integrity_check"), Lines("ok\r\n"))
                << database;

        EXPECT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0);
        EXPECT_EQ(temporaryFiles(), std::vector<std::string> {});
    }
}
