// The built program started silently in a temporary installation: it saves the stored settings,
// rebuilds the presets without a window and ends. That a finished run leaves no report, journal
// or error output, the fault-run process tests prove.
#include "support/databases.h"
#include "support/program_run.h"

#include <gtest/gtest.h>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct SilentRun : testing::Test {
    TempInstallation installation;

    void SetUp() override
    {
        installation.Write("parameter/Program.ini",
            "; written by the project tool\r\n"
            "[Project]\r\nNumberOfMachines=3\r\nVWStudio=false\r\n"
            "[Machine1]\r\nMachineName=Filler\r\nCamScaleBegin1=10\r\nCamScaleEnd1=-1\r\n"
            "CamUnit1=2\r\nCamWithoutSpeedControl=TRUE\r\nCamNr270=true\r\n"
            "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\nCamUnit40=-1\r\n"
            "CamScaleBegin40=-7\r\n"
            "[Machine3]\r\nMachineName=Labeller\r\nCamScaleEnd1=123\r\n");
        installation.Write("Lobix/Lobix.cfg",
            "[Project]\r\nForMachine1=true\r\nForMachine2=TRUE\r\nForMachine3=false\r\n");
    }
};

}

TEST_F(SilentRun, SavesTheStoredSettingsAndRebuildsThePresetsOfTheSelectedMachines)
{
    MakeDatabases(installation, "Filler,Packer", "studio");
    ASSERT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");

    const char* ini = "parameter/Program.ini";
    struct Expected {
        const char* section;
        const char* key;
        const char* value;
    } expected[] = { { "Machine1", "CamScaleBegin1", "10" }, { "Machine1", "CamScaleEnd1", "359" },
        { "Machine1", "CamUnit1", "2" }, { "Machine1", "CamScaleBegin2", "0" },
        { "Machine1", "CamScaleEnd40", "359" }, { "Machine1", "CamUnit40", "1" },
        { "Machine1", "CamWithoutSpeedControl", "true" }, { "Machine1", "CamNr270", "true" },
        { "Machine2", "CamScaleEnd7", "300" }, { "Machine2", "CamUnit40", "1" },
        { "Machine2", "CamScaleBegin40", "-7" }, { "Machine2", "CamWithoutSpeedControl", "false" },
        { "Machine2", "MachineName", "Packer" }, { "Machine3", "CamScaleEnd1", "123" },
        { "Machine3", "CamScaleBegin1", "<missing>" },
        { "Machine3", "CamWithoutSpeedControl", "<missing>" },
        { "Machine2", "CamNr270", "<missing>" }, { "Project", "NumberOfMachines", "3" } };
    for (const Expected& e : expected)
        EXPECT_EQ(installation.Entry(ini, e.section, e.key), e.value) << e.section << " " << e.key;
    Strings lines = Lines(installation.Read(ini));
    EXPECT_EQ(lines.front(), "; written by the project tool");
    // The comment, [Project] with its two entries, each edited machine's header, name, 120 cam
    // values and speed option, CamNr270, and machine 3's three lines untouched.
    EXPECT_EQ(lines.size(), 1u + 3 + 2 * (1 + 1 + 120 + 1) + 1 + 3);
    EXPECT_EQ(installation.Entry("Lobix/Lobix.cfg", "Info", "S_Editor"), "666768");

    std::string component = installation.Path("Lobix/Lobix.mdb");
    EXPECT_EQ(Rows(component,
                  "SELECT machine_type, COUNT(*), MIN(ID), MAX(ID), SUM(abs_max = 300) "
                  "FROM PRESET_DEFS GROUP BY 1 ORDER BY 3"),
        (Strings { "Filler|520|1|520|52", "Packer|520|521|1040|52" }));
    EXPECT_EQ(Rows(component,
                  "SELECT ID, var_name, offset_or_bitno, abs_min, abs_max, min, max, pass "
                  "FROM PRESET_DEFS WHERE ID IN (9, 10, 1040) ORDER BY ID"),
        (Strings { "9|Filler_Lobix_CamOn5|8|0.0|359.0|0.0|359.0|1",
            "10|Filler_Lobix_Preset_CamOff5|9|-10.0|300.0|5.0|NULL|2",
            "1040|Packer_Lobix_Preset_CamOff260|519|-10.0|300.0|5.0|NULL|2" }));
}
