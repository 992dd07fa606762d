// The files the program finds by rule in both start modes, what it reads from them with the
// program's defaults and records in them, and the question before discarding edits.
#include "config/edit_info.h"
#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/abort_question.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;
using Names = std::vector<std::string>;

// Files are found whatever their letter case; a folder of a file's name is no file. Integrated,
// the host's file gives the SaveAndRestore folder (with or without a final "/"), below which
// program.ini is read, and up to five machine names, up to the first "-" or missing one;
// program.ini is written in the installation. The component databases' paths every run proves.
TEST(InstallationPaths, FoundByRuleIntegratedBelowTheHostsFolder)
{
    TempInstallation installation;
    std::filesystem::create_directories(installation.root / "parameter/Program.ini");
    EXPECT_EQ(config::GetProgramIniPath(2), "");
    EXPECT_EQ(config::GetTVXConfigurationIniPath(), "");
    EXPECT_EQ(config::GetPathSourceOCXMDB(), "");
    std::filesystem::remove(installation.root / "parameter/Program.ini");
    for (const char* file :
        { "parameter/program.ini", "save/parameter/program.ini", "Lobix/lobix_source.mdb" })
        installation.Write(file, "");
    EXPECT_EQ(config::GetPathSourceOCXMDB(), installation.Path("Lobix/lobix_source.mdb"));
    installation.SetArguments("/EXTERNAL=TVXCFG");
    const std::tuple<const char*, bool, const char*, Names> cases[] = {
        { "save", true, "NameM1=Filler\r\nNameM2=Packer\r\nNameM3=-\r\nNameM4=Wrapper\r\n",
            { "", "Filler", "Packer" } },
        { "save/", true, "NameM1=a\r\nNameM2=b\r\nNameM3=c\r\nNameM4=d\r\nNameM5=e\r\nNameM6=f\r\n",
            { "", "a", "b", "c", "d", "e" } },
        { "none", false, "NameM2=Packer\r\n", {} },
    };
    for (const auto& [folder, found, names, machines] : cases) {
        SCOPED_TRACE(folder);
        installation.Write("parameter/TVXConfiguration.INI",
            "[Common]\r\nSaveAndRestore=" + installation.Path(folder) + "\r\n" + names);
        config::Project() = {};
        config::GetExistingMachines(config::GetTVXConfigurationIniPath());
        EXPECT_EQ(config::Project().MachineNames, machines);
        EXPECT_EQ(config::Project().ProgramIniPath,
            found ? installation.Path("save/parameter/program.ini") : "");
        EXPECT_EQ(config::GetProgramIniPath(2), installation.Path("parameter/program.ini"));
    }
}

// The names listed are kept as written, blanks and empty ones too.
TEST(AdditionalFields, AlwaysStartWithPart)
{
    TempInstallation installation;
    for (const auto& [list, fields, select] :
        { std::tuple<const char*, Names, const char*> { "", { "", "part" }, ", PRESET_DEFS.part" },
            { "a, b,", { "", "part", "a", " b", "" },
                ", PRESET_DEFS.part, PRESET_DEFS.a, PRESET_DEFS. b, PRESET_DEFS." } }) {
        installation.Write("Lobix/Lobix.cfg",
            std::string("[Project]\r\nDataBaseAdditionalFields=") + list + "\r\n");
        config::GetAddFields();
        EXPECT_EQ(config::Project().AdditionalFields, fields) << list;
        EXPECT_EQ(config::Project().AdditionalFieldsSelect, select) << list;
    }
}

TEST(EditInfo, MarkEncodesTheFirstEnvironmentValue)
{
    const std::pair<const char*, const char*> cases[]
        = { { "X=a-b_c", "666768" }, { "abc", "666768" }, { "X=a=b", "664267" },
              { "X=Z\xFF", "5F104" }, { "X=", "" }, { "", "" } };
    for (const auto& [entry, mark] : cases)
        EXPECT_EQ(config::EditorMark(entry), mark) << entry;
}

// Integrated, the edit record names the mode and Cancel the standalone program; silent, Cancel
// confirms itself and says so in the service-pack log only.
TEST(ConfirmCancel, NamesTheStandaloneProgramWhenIntegratedAndConfirmsSilently)
{
    const std::string question
        = "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ";
    TempInstallation installation;
    installation.Write("Lobix/Lobix.cfg", "");
    installation.SetArguments("/EXTERNAL=TVXCFG");
    config::WriteEditInfo();
    EXPECT_EQ(installation.Entry("Lobix/Lobix.cfg", "Info", "S_Prog"), "1.0.0 - Integrated");
    installation.answers = { platform::kNo };
    EXPECT_FALSE(diagnostics::ConfirmCancel());
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt,
        question + "\n\r\"Lobix\" has to be configured again in \"standalone-mode\" via \n\r\""
            + installation.Path("Tools/Lobix_Config") + "\"");
    installation.SetArguments("/EXTERNAL=SILENT");
    EXPECT_TRUE(diagnostics::ConfirmCancel());
    EXPECT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.Read("servicepack.log"), "! Fault Lobix_Config: " + question + "\r\n");
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt"));
}

// Each entry as text, Boolean and number, unasked and asked to report it missing (text when "",
// a Boolean when not TRUE or FALSE, a number when -1); beyond 16 bits, the error report resumes.
TEST(IniAccess, ReadsWithTheProgramsDefaultsAndReportsMissingEntriesOnlyWhenAsked)
{
    TempInstallation installation;
    const std::string file = installation.Path("parameter/test.ini");
    installation.Write("parameter/test.ini",
        "[S]\r\nlong=" + std::string(300, 'x')
            + "\r\nempty=\r\nt=tRuE\r\nf=False\r\none=1\r\nminus=-1\r\nbig=40000\r\n");
    // Key, text, Boolean, number, and how many of the three report it when asked.
    const std::tuple<const char*, std::string, bool, short, size_t> cases[]
        = { { "long", std::string(254, 'x'), false, 0, 1 }, { "empty", "", false, -1, 3 },
              { "none", "", false, -1, 3 }, { "t", "tRuE", true, 0, 0 },
              { "f", "False", false, 0, 0 }, { "one", "1", false, 1, 1 },
              { "minus", "-1", false, -1, 2 } };
    for (const auto& [key, text, flag, number, reports] : cases) {
        SCOPED_TRACE(key);
        for (bool ask : { false, true }) {
            EXPECT_EQ(config::LoadIniString("S", key, file, ask), text);
            EXPECT_EQ(config::LoadIniBoolean("S", key, file, ask), flag);
            EXPECT_EQ(config::LoadIniInteger("S", key, file, ask), number);
        }
        EXPECT_EQ(installation.shown.size(), reports);
        for (const platform::MessageBoxRequest& box : installation.shown)
            EXPECT_EQ(std::tie(box.prompt, box.title, box.icon),
                std::tuple("File '" + file + "' or Section [S] or Entry '" + key + "' not found",
                    "Lobix_Config", platform::kCritical));
        installation.shown.clear();
    }
    EXPECT_EQ(config::LoadIniInteger("S", "big", file, false), 0);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector { ErrorLine("LoadIniInteger", 6, "Overflow") });
}

TEST(IniAccess, WritesValuesInTheProgramsTextFormsAndRefusesOthers)
{
    TempInstallation installation;
    const std::string file = installation.Path("parameter/test.ini");
    EXPECT_EQ(config::SaveIni(std::monostate {}, "S", "k", file), 0);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt, "Ini Save:  wrong data type");
    EXPECT_FALSE(installation.Exists("parameter/test.ini"));
    // Floats with 7 significant digits, doubles with 15.
    const std::pair<config::IniValue, const char*> cases[]
        = { { short(-5), "-5" }, { 359, "359" }, { true, "true" }, { false, "false" },
              { std::string(" a  b "), " a  b " }, { 1.0 / 3, ".333333333333333" }, { 0.5, ".5" },
              { -0.25, "-.25" }, { 1e20, "1E+20" }, { 0.00001, "1E-05" }, { 1.0f / 3, ".3333333" },
              { static_cast<unsigned char>(200), "200" } };
    std::string expected = "[New]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string key = std::string("k").append(std::to_string(i));
        EXPECT_NE(config::SaveIni(cases[i].first, "New", key, file), 0);
        expected += key + "=" + cases[i].second + "\r\n";
    }
    EXPECT_EQ(installation.Read("parameter/test.ini"), expected);
}
