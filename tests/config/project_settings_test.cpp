// The machine list in both start modes, the additional fields and the language code.
#include "config/project_settings.h"
#include "config/installation_paths.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using testing_support::TempInstallation;
using Names = std::vector<std::string>;

TEST(MachineList, IntegratedReadsNamesUpToTheFirstDash)
{
    struct Case {
        const char* common;
        Names names;
    } cases[] = {
        { "NameM1=Filler\r\nNameM2=Packer\r\nNameM3=-\r\nNameM4=Wrapper\r\n", { "", "Filler", "Packer" } },
        { "NameM1=a\r\nNameM2=b\r\nNameM3=c\r\nNameM4=d\r\nNameM5=e\r\nNameM6=f\r\n", { "", "a", "b", "c", "d", "e" } },
        { "NameM2=Packer\r\n", {} },
    };
    for (const Case& c : cases) {
        TempInstallation installation;
        installation.SetArguments("/EXTERNAL=TVXCFG");
        installation.Write("parameter/tvxconfiguration.ini", std::string("[Common]\r\n") + c.common);
        config::GetExistingMachines(config::GetTVXConfigurationIniPath());
        EXPECT_EQ(config::Project().MachineNames, c.names) << c.common;
    }
    TempInstallation installation;
    installation.SetArguments("/EXTERNAL=TVXCFG");
    config::GetExistingMachines("");
    EXPECT_EQ(config::MachineCount(), 0);
}

TEST(MachineList, StandaloneReadsTheCountFromProgramIni)
{
    TempInstallation installation;
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=7\r\n[Machine1]\r\nMachineName=One\r\n[Machine3]\r\nMachineName=Three\r\n");
    config::GetExistingMachines("");
    EXPECT_EQ(config::Project().ProgramIniPath, installation.Path("parameter/Program.ini"));
    EXPECT_EQ(config::Project().MachineNames, (Names { "", "One", "", "Three", "", "", "", "" }));

    TempInstallation empty;
    config::GetExistingMachines("");
    EXPECT_EQ(config::MachineCount(), 0);
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
        { "DataBaseAdditionalFields=a, b,\r\n", { "", "part", "a", " b", "" }, ", PRESET_DEFS.part, PRESET_DEFS.a, PRESET_DEFS. b, PRESET_DEFS." },
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

TEST(Language, MissingCodeIsWrittenAsGerman)
{
    TempInstallation installation;
    EXPECT_EQ(config::GetLanguage(), "1031");
    EXPECT_EQ(installation.Read("Tools/Lobix_Config.ini"), "[Language]\r\nLanguage=1031\r\n");
    installation.Write("Tools/Lobix_Config.ini", "[Language]\r\nLanguage=1033\r\n");
    EXPECT_EQ(config::GetLanguage(), "1033");
}
