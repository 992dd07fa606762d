// The built program started silently in a temporary installation: it saves the stored settings
// without a window and ends.
#include "platform/profile.h"
#include "support/installation.h"
#include "support/program_run.h"

#include <gtest/gtest.h>

using testing_support::Lines;
using testing_support::RunProgram;
using testing_support::TempInstallation;

namespace {

struct SilentRun : testing::Test {
    TempInstallation installation;

    std::string Entry(const std::string& file, const std::string& section, const std::string& key) const
    {
        return platform::GetPrivateProfileString(section, key, "<missing>", 255, installation.Path(file));
    }

    void LayOutThreeMachines() const
    {
        installation.Write("parameter/Program.ini",
            "; written by the project tool\r\n"
            "[Project]\r\nNumberOfMachines=3\r\n"
            "[Machine1]\r\nMachineName=Filler\r\nCamScaleBegin1=10\r\nCamScaleEnd1=-1\r\nCamUnit1=2\r\n"
            "CamWithoutSpeedControl=TRUE\r\n"
            "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\nCamUnit40=-1\r\nCamScaleBegin40=-7\r\n"
            "[Machine3]\r\nMachineName=Labeller\r\nCamScaleEnd1=123\r\n");
        installation.Write("Lobix/Lobix.cfg",
            "[Project]\r\nForMachine1=true\r\nForMachine2=TRUE\r\nForMachine3=false\r\n");
    }
};

}

TEST_F(SilentRun, SavesTheStoredSettingsOfTheSelectedMachines)
{
    LayOutThreeMachines();
    ASSERT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");

    const char* ini = "parameter/Program.ini";
    struct Expected {
        const char* section;
        const char* key;
        const char* value;
    } expected[] = {
        { "Machine1", "CamScaleBegin1", "10" },
        { "Machine1", "CamScaleEnd1", "359" },
        { "Machine1", "CamUnit1", "2" },
        { "Machine1", "CamScaleBegin2", "0" },
        { "Machine1", "CamScaleEnd40", "359" },
        { "Machine1", "CamUnit40", "1" },
        { "Machine1", "CamWithoutSpeedControl", "true" },
        { "Machine1", "CamNr270", "false" },
        { "Machine2", "CamScaleEnd7", "300" },
        { "Machine2", "CamUnit40", "1" },
        { "Machine2", "CamScaleBegin40", "-7" },
        { "Machine2", "CamWithoutSpeedControl", "false" },
        { "Machine2", "MachineName", "Packer" },
        { "Machine3", "CamScaleEnd1", "123" },
        { "Machine3", "CamScaleBegin1", "<missing>" },
        { "Machine3", "CamWithoutSpeedControl", "<missing>" },
        { "Machine2", "CamNr270", "<missing>" },
        { "Project", "NumberOfMachines", "3" },
    };
    for (const Expected& e : expected)
        EXPECT_EQ(Entry(ini, e.section, e.key), e.value) << e.section << " " << e.key;
    std::vector<std::string> lines = Lines(installation.Read(ini));
    EXPECT_EQ(lines.front(), "; written by the project tool");
    // The comment, [Project] with its entry, each edited machine's header, name, 120 cam values
    // and speed option, CamNr270, and machine 3's three lines untouched.
    EXPECT_EQ(lines.size(), 1u + 2 + 2 * (1 + 1 + 120 + 1) + 1 + 3);

    EXPECT_EQ(Entry("Lobix/Lobix.cfg", "Info", "S_Prog"), "1.0.0 - Standalone");
    EXPECT_EQ(Entry("Lobix/Lobix.cfg", "Info", "S_Editor"), "666768");
    EXPECT_FALSE(installation.Exists("servicepack.log"));
}

TEST_F(SilentRun, CreatesAMissingProgramIni)
{
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
    ASSERT_EQ(RunProgram(installation, "/external=Silent"), 0) << installation.Read("stderr.txt");
    EXPECT_EQ(Lines(installation.Read("parameter/Program.ini")),
        (std::vector<std::string> { "[Machine1]", "CamNr270=false" }));
    EXPECT_EQ(Entry("Lobix/Lobix.cfg", "Info", "S_Prog"), "1.0.0 - Standalone");
}

TEST_F(SilentRun, MissingComponentConfigurationEndsWithStatusOne)
{
    LayOutThreeMachines();
    std::filesystem::remove(installation.root / "Lobix/Lobix.cfg");
    std::string before = installation.Read("parameter/Program.ini");
    EXPECT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 1);
    EXPECT_EQ(installation.Read("parameter/Program.ini"), before);
    std::string log = installation.Read("servicepack.log");
    EXPECT_EQ(log.rfind("! Fault Lobix_Config: File not found: \n\r", 0), 0u) << log;
}

TEST_F(SilentRun, InteractiveStartWithoutADisplaySaysSoAndEnds)
{
    LayOutThreeMachines();
    std::string before = installation.Read("parameter/Program.ini");
    EXPECT_EQ(RunProgram(installation, ""), 2);
    EXPECT_NE(installation.Read("stderr.txt").find("no display"), std::string::npos);
    EXPECT_EQ(installation.Read("parameter/Program.ini"), before);
}
