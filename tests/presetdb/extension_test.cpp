// The database work of OK: PRESET_DEFS rebuilt from the templates, one block per machine that
// takes part, old limit values carried over, the component database replaced.
#include "config/cam_settings.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "config/cam_settings.h"
#include "platform/profile/profile.h"
#include "presetdb/extension_driver.h"
#include "support/databases.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct PresetDatabase : testing::Test {
    TempInstallation installation;
    std::string source = installation.Path("Lobix/Lobix_Source.mdb");
    std::string component = installation.Path("Lobix/Lobix.mdb");

    // Filler and Labeller take part; old presets of Filler and Packer.
    void SetUp() override
    {
        installation.Write("parameter/Program.ini", kThreeMachines);
        installation.Write(
            "Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nForMachine3=true\r\n");
        MakeDatabases(installation, "Filler,Packer", "visiwin32");
    }

    void Run(const std::string& arguments = "")
    {
        installation.SetArguments(arguments);
        config::GetExistingMachines(installation.Path("parameter/tvxconfiguration.ini"));
        presetdb::WorkOnMDB();
    }

    std::vector<std::string> Presets(const std::string& columns, const std::string& where) const
    {
        return Rows(
            component, "SELECT " + columns + " FROM PRESET_DEFS WHERE " + where + " ORDER BY ID");
    }
};

}

TEST_F(PresetDatabase, RebuildsTheTableWithTheTemplatesLayout)
{
    Sql(source, "CREATE TABLE PRESET_DEFS (x TEXT); INSERT INTO PRESET_DEFS VALUES ('stale');");
    std::filesystem::last_write_time(
        source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(50));
    auto sourceWritten = std::filesystem::last_write_time(source);
    Run();
    Strings layout = Rows(source, "SELECT name, type FROM pragma_table_info('Source_PRESET_DEFS')");
    EXPECT_EQ(Rows(source, "SELECT name, type FROM pragma_table_info('PRESET_DEFS')"), layout);
    EXPECT_EQ(Rows(component, "SELECT name, type FROM pragma_table_info('PRESET_DEFS')"), layout);
    EXPECT_EQ(Rows(source, "SELECT COUNT(*) FROM PRESET_DEFS"), Strings { "720" });
    EXPECT_EQ(Rows(source, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name"),
        (Strings { "PRESET_DEFS", "Source_DEFS", "Source_PRESET_DEFS" }));
    EXPECT_EQ(std::filesystem::last_write_time(source), sourceWritten)
        << "the source keeps its time";
}

TEST_F(PresetDatabase, BuildsOneBlockPerMachineOf360OrEveryTemplateRow)
{
    // Variable names take the machine's name twice, other texts once.
    Sql(source,
        "UPDATE Source_DEFS SET Var_Name = Var_Name || '_###machine' "
        "WHERE Part = 1 AND System = 'VISIWIN32';"
        "UPDATE Source_PRESET_DEFS SET text = text || ' ###machine' WHERE ID = 2;");
    Run();
    EXPECT_EQ(
        Presets(
            "machine_type, COUNT(*), MIN(ID), MAX(ID), MIN(offset_or_bitno), MAX(offset_or_bitno)",
            "1 GROUP BY machine_type"),
        (Strings { "Filler|360|1|360|0|359", "Labeller|360|361|720|0|359" }));
    EXPECT_EQ(
        Presets("ID, var_name, offset_or_bitno, text, page_name", "ID IN (1, 2, 3, 361, 720)"),
        (Strings {
            "1|Filler_Lobix_CamOn1_Filler|0|Kurve 1 Ein (Filler)|Seite 0",
            "2|Filler_Lobix_Preset_CamOff1|1|Kurve 1 Aus (Filler) ###machine|Seite 0",
            "3|Filler_Lobix_CamOn2_Filler|2|Kurve 2 Ein (Filler)|Seite 0",
            "361|Labeller_Lobix_CamOn1_Labeller|0|Kurve 1 Ein (Labeller)|Seite 0",
            "720|Labeller_Lobix_Preset_CamOff180|359|Kurve 180 Aus (Labeller)|Seite 0",
        }));
    config::Model().Cams270 = true;
    Run();
    EXPECT_EQ(Presets("machine_type, COUNT(*), MAX(ID)", "1 GROUP BY machine_type"),
        (Strings { "Filler|520|520", "Labeller|520|1040" }));
}

TEST_F(PresetDatabase, CarriesOldLimitsOverIncludingNulls)
{
    Run();
    EXPECT_EQ(Presets("offset_or_bitno, abs_min, abs_max, min, max, pass, text",
                  "machine_type = 'Filler' AND ID IN (9, 10, 11, 20)"),
        (Strings { "8|0.0|359.0|0.0|359.0|1|Kurve 5 Ein (Filler)",
            "9|-10.0|300.0|5.0|NULL|2|Kurve 5 Aus (Filler)",
            "10|0.0|359.0|0.0|359.0|1|Kurve 6 Ein (Filler)",
            "19|-10.0|300.0|5.0|NULL|2|Kurve 10 Aus (Filler)" }));
    EXPECT_EQ(Presets("COUNT(*)", "machine_type = 'Labeller' AND abs_max = 300"), Strings { "0" })
        << "Packer's old rows have no counterpart";
    EXPECT_EQ(Presets("COUNT(*)", "abs_max = 300"), Strings { "36" });
}

TEST_F(PresetDatabase, AMissingOldColumnIsReportedAndTheRestCarriedOver)
{
    Sql(component, "ALTER TABLE PRESET_DEFS DROP COLUMN page_name;");
    Run("/EXTERNAL=SILENT");
    EXPECT_EQ(Presets("COUNT(*)", "abs_max = 300"), Strings { "36" });
    diagnostics::WriteRepeatCount(); // as the end of the program does
    Strings log = Lines(installation.Read("TVXcfglog.txt"));
    ASSERT_EQ(log.size(), 2u) << "one report for all old rows";
    EXPECT_NE(log[0].find("/ TakeoverMachineCopyMDBData (Nr. 3265)"), std::string::npos);
    EXPECT_EQ(log[1], "... repeated 1,039 times");
}

TEST_F(PresetDatabase, StudioProjectsRenameOldVisiWin32Rows)
{
    platform::WritePrivateProfileString(
        "Project", "VWStudio", "TRUE", installation.Path("parameter/Program.ini"));
    Run();
    EXPECT_EQ(Presets("var_name, abs_max", "ID IN (1, 10)"),
        (Strings { "Filler.Lobix.CamOn1|359.0", "Filler.Lobix.Preset.CamOff5|300.0" }));
}

TEST_F(PresetDatabase, ADemandedColumnTheTableLacksEndsTheRun)
{
    installation.Write(
        "Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=remark\r\n");
    EXPECT_EQ(EndStatus([this] { Run(); }), 1);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        (Strings { "Conflict while attempting to extend database!Configurationsfile \"LOBIX.CFG\", "
                   "demanded field \"REMARK\"missing in machinecopy-database\n\r"
                   "Configuration of \"LOBIX\" aborted.",
            "Fehler in Lobix / Lobix_Config / TakeoverMachineCopyMDBData (Nr. 9999) "
            ":Database-Error - Contact Administrator!" }));
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].title, "Fatal error");
    EXPECT_EQ(Rows(component, "SELECT COUNT(*) FROM PRESET_DEFS"), Strings { "1040" })
        << "not replaced";
}

TEST_F(PresetDatabase, IntegratedBringsTheMachineCopyInFirst)
{
    installation.Write("parameter/tvxconfiguration.ini",
        "[Common]\r\nSaveAndRestore=" + installation.Path("save")
            + "\r\nNameM1=Filler\r\nNameM2=Packer\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nValidMachines=Filler\r\n");
    Run("/EXTERNAL=TVXCFG");
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt,
        "Konnte die Datei:\"Lobix.mdb\" in der Vorlage nicht finden!\r\n\r\n"
        "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
        "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
        "Standardwerten erzeugt.");
    EXPECT_EQ(installation.shown[0].icon, platform::kInformation);
    EXPECT_EQ(Presets("abs_max", "ID = 10"), Strings { "300.0" });

    std::filesystem::create_directories(installation.root / "save/Lobix");
    MakeDatabases(installation, "Filler", "visiwin32");
    std::filesystem::copy_file(component, installation.Path("save/Lobix/Lobix.mdb"));
    Sql(installation.Path("save/Lobix/Lobix.mdb"),
        "UPDATE PRESET_DEFS SET abs_max = 123 WHERE ID = 10;");
    Run("/EXTERNAL=TVXCFG");
    EXPECT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(Presets("abs_max", "ID = 10"), Strings { "123.0" });
}

TEST_F(PresetDatabase, NamesWithQuotesMatchOnlyThemselves)
{
    Sql(source,
        "UPDATE Source_PRESET_DEFS SET var_name = 'Cam\"On\"1' WHERE ID = 1;"
        "UPDATE Source_PRESET_DEFS SET var_name = 'part' WHERE ID = 3;");
    Sql(component,
        "UPDATE PRESET_DEFS SET var_name = 'Filler_Lobix_Cam\"On\"1', abs_max = 11 WHERE ID = 1;"
        "UPDATE PRESET_DEFS SET var_name = 'Filler_Lobix_part', abs_max = 33 WHERE ID = 3;");
    Run();
    EXPECT_EQ(Presets("var_name, abs_max", "ID IN (1, 2, 3)"),
        (Strings { "Filler_Lobix_Cam\"On\"1|11.0", "Filler_Lobix_Preset_CamOff1|359.0",
            "Filler_Lobix_part|33.0" }));
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(PresetDatabase, SelectsMachinesToTheEndOfTheListWhateverTheirLettersCase)
{
    struct Case {
        const char* arguments;
        const char* file; // Program.ini standalone, tvxconfiguration.ini integrated
        const char* cfg;
        Strings blocks;
    } cases[] = {
        { "",
            "[Project]\r\nNumberOfMachines=7\r\n[Machine1]\r\nMachineName=M1\r\n"
            "[Machine2]\r\nMachineName=M2\r\n[Machine5]\r\nMachineName=M5\r\n"
            "[Machine6]\r\nMachineName=M6\r\n[Machine7]\r\nMachineName=M7\r\n",
            "ForMachine1=true\r\nForMachine6=true\r\nForMachine7=TRUE\r\n",
            { "M1|2|1", "M6|2|3", "M7|2|5" } },
        { "/EXTERNAL=TVXCFG", "[Common]\r\nNameM1=Füller\r\nNameM2=Packer\r\n",
            "ValidMachines=FÜLLER\r\n", { "Füller|2|1" } },
    };
    Sql(source, "DELETE FROM Source_PRESET_DEFS WHERE ID > 2;");
    for (const Case& c : cases) {
        installation.Write(
            *c.arguments ? "parameter/tvxconfiguration.ini" : "parameter/Program.ini", c.file);
        installation.Write("Lobix/Lobix.cfg", std::string("[Project]\r\n") + c.cfg);
        ResetModules();
        Run(c.arguments);
        EXPECT_EQ(Presets("machine_type, COUNT(*), MIN(ID)", "1 GROUP BY machine_type"), c.blocks)
            << c.cfg;
    }
}

TEST_F(PresetDatabase, OldValuesOfNamesInAnyCaseAreCarriedOver)
{
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=1\r\nVWStudio=true\r\n[Machine1]\r\nMachineName=Füller\r\n");
    MakeDatabases(installation, "Filler", "studio");
    Sql(component,
        "UPDATE PRESET_DEFS SET machine_type = 'FÜLLER', var_name = 'FÜLLER.LOBIX.PRESET.CAMOFF5' "
        "WHERE ID = 10;");
    Run();
    EXPECT_EQ(Presets("var_name, abs_max", "ID IN (9, 10)"),
        (Strings { "Füller.Lobix.CamOn5|359.0", "Füller.Lobix.Preset.CamOff5|300.0" }));
}

TEST_F(PresetDatabase, FractionalPartsRoundHalvesToEven)
{
    // Templates stored for parts 1.5, 2.5 and 4 go to parts 1, 3 and 4; rows of parts 1.5, 2.5,
    // 3.5 and 4 take the templates of parts 1, 3, 3 and 4.
    Sql(source,
        "DROP TABLE Source_DEFS; DROP TABLE Source_PRESET_DEFS;"
        "CREATE TABLE Source_DEFS (System VARCHAR(20), Var_Name VARCHAR(100), Part DOUBLE);"
        "INSERT INTO Source_DEFS VALUES ('VISIWIN32', 'one_###Var_Name', 1.5),"
        " ('VISIWIN32', 'three_###Var_Name', 2.5), ('VISIWIN32', 'four_###Var_Name', 4);"
        "CREATE TABLE Source_PRESET_DEFS (ID INTEGER, part DOUBLE, var_name VARCHAR(100),"
        " offset_or_bitno INTEGER);"
        "INSERT INTO Source_PRESET_DEFS VALUES (1, 1.5, 'a', 0), (2, 2.5, 'b', 0), (3, 3.5, 'c', "
        "0),"
        " (4, 4, 'd', 0);");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
    Run();
    EXPECT_EQ(Rows(source, "SELECT var_name FROM PRESET_DEFS ORDER BY ID"),
        (Strings { "one_a", "three_b", "three_c", "four_d" }));
}
