// The machine list in both start modes and the additional fields.
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using testing_support::TempInstallation;
using Names = std::vector<std::string>;

TEST(MachineList, ComesFromTheHostUpToTheFirstDashOrFromProgramIni)
{
    struct Case {
        const char* arguments;
        const char* file; // tvxconfiguration.ini when integrated, else Program.ini; "" for none
        Names names;
    } cases[] = {
        { "/EXTERNAL=TVXCFG",
            "[Common]\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=-\r\nNameM4=Wrapper\r\n",
            { "", "Filler", "Packer" } },
        { "/EXTERNAL=TVXCFG",
            "[Common]\r\nNameM1=a\r\nNameM2=b\r\nNameM3=c\r\nNameM4=d\r\nNameM5=e\r\nNameM6=f\r\n",
            { "", "a", "b", "c", "d", "e" } },
        { "/EXTERNAL=TVXCFG", "[Common]\r\nNameM2=Packer\r\n", {} },
        { "/EXTERNAL=TVXCFG", "", {} },
        { "",
            "[Project]\r\nNumberOfMachines=7\r\n[Machine1]\r\nMachineName=One\r\n"
            "[Machine3]\r\nMachineName=Three\r\n",
            { "", "One", "", "Three", "", "", "", "" } },
        { "", "", {} },
    };
    for (const Case& c : cases) {
        TempInstallation installation;
        installation.SetArguments(c.arguments);
        if (*c.file)
            installation.Write(
                *c.arguments ? "parameter/tvxconfiguration.ini" : "parameter/Program.ini", c.file);
        config::GetExistingMachines(config::GetTVXConfigurationIniPath());
        EXPECT_EQ(config::Project().MachineNames, c.names) << c.arguments << " " << c.file;
    }
}

TEST(AdditionalFields, AlwaysStartWithPart)
{
    struct Case {
        const char* cfg;
        Names fields;
        const char* select;
    } cases[] = {
        { "", { "", "part" }, ", PRESET_DEFS.part" },
        { "DataBaseAdditionalFields=\r\n", { "", "part" }, ", PRESET_DEFS.part" },
        { "DataBaseAdditionalFields=remark,unit\r\n", { "", "part", "remark", "unit" },
            ", PRESET_DEFS.part, PRESET_DEFS.remark, PRESET_DEFS.unit" },
        { "DataBaseAdditionalFields=a, b,\r\n", { "", "part", "a", " b", "" },
            ", PRESET_DEFS.part, PRESET_DEFS.a, PRESET_DEFS. b, PRESET_DEFS." },
    };
    for (const Case& c : cases) {
        TempInstallation installation;
        installation.Write("Lobix/Lobix.cfg", std::string("[Project]\r\n") + c.cfg);
        config::GetAddFields();
        EXPECT_EQ(config::Project().AdditionalFields, c.fields) << c.cfg;
        EXPECT_EQ(config::Project().AdditionalFieldsSelect, c.select) << c.cfg;
        EXPECT_EQ(config::Project().AdditionalFieldsCount, static_cast<short>(c.fields.size() - 1));
    }
}
