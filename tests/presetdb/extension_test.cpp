// The database work of OK: PRESET_DEFS rebuilt from the templates, one block per machine that
// takes part, old limit values carried over, the component database replaced. The silent-run
// process test proves the carry-over of every limit, Nulls among them, and the 270-cam blocks.
#include "config/project_settings.h"
#include "platform/system/file_replacement.h"
#include "presetdb/extension_driver.h"
#include "presetdb/preset_state.h"
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

    // The database work of OK, and the files it leaves to be written, written.
    void Run(const std::string& arguments = "")
    {
        installation.SetArguments(arguments);
        config::GetExistingMachines(installation.Path("parameter/tvxconfiguration.ini"));
        presetdb::WorkOnMDB();
        presetdb::PresetState& presets = presetdb::Presets();
        EXPECT_EQ(platform::ReplaceFiles(presets.Updates, "").file, "");
        presets = {};
    }

    std::vector<std::string> Presets(const std::string& columns, const std::string& where) const
    {
        return Rows(
            component, "SELECT " + columns + " FROM PRESET_DEFS WHERE " + where + " ORDER BY ID");
    }
};

}

// A stale table gives way to one in the templates' layout; the source keeps its time. Variable
// names take the machine's name twice, other texts once; old names with quotes or the name of a
// column match only themselves.
TEST_F(PresetDatabase, RebuildsOneBlockPerMachineInTheTemplatesLayout)
{
    Sql(source,
        "CREATE TABLE PRESET_DEFS (x TEXT); INSERT INTO PRESET_DEFS VALUES ('stale');"
        "UPDATE Source_DEFS SET Var_Name = Var_Name || '_###machine' "
        "WHERE Part = 1 AND System = 'VISIWIN32';"
        "UPDATE Source_PRESET_DEFS SET text = text || ' ###machine' WHERE ID = 2;"
        "UPDATE Source_PRESET_DEFS SET var_name = 'Cam\"On\"3' WHERE ID = 5;"
        "UPDATE Source_PRESET_DEFS SET var_name = 'part' WHERE ID = 7;");
    Sql(component,
        "UPDATE PRESET_DEFS SET var_name = 'Filler_Lobix_Cam\"On\"3_Filler', abs_max = 11 "
        "WHERE ID = 5;"
        "UPDATE PRESET_DEFS SET var_name = 'Filler_Lobix_part_Filler', abs_max = 33 WHERE ID = 7;");
    std::filesystem::last_write_time(
        source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(50));
    auto sourceWritten = std::filesystem::last_write_time(source);
    Run();
    EXPECT_EQ(Rows(source, "SELECT name, type FROM pragma_table_info('PRESET_DEFS')"),
        Rows(source, "SELECT name, type FROM pragma_table_info('Source_PRESET_DEFS')"));
    EXPECT_EQ(Rows(source, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name"),
        (Strings { "PRESET_DEFS", "Source_DEFS", "Source_PRESET_DEFS" }));
    EXPECT_EQ(std::filesystem::last_write_time(source), sourceWritten);
    EXPECT_EQ(Presets("ID, var_name, offset_or_bitno, text, page_name, abs_max",
                  "ID IN (1, 2, 3, 5, 6, 7, 361, 720)"),
        (Strings {
            "1|Filler_Lobix_CamOn1_Filler|0|Kurve 1 Ein (Filler)|Seite 0|359.0",
            "2|Filler_Lobix_Preset_CamOff1|1|Kurve 1 Aus (Filler) ###machine|Seite 0|359.0",
            "3|Filler_Lobix_CamOn2_Filler|2|Kurve 2 Ein (Filler)|Seite 0|359.0",
            "5|Filler_Lobix_Cam\"On\"3_Filler|4|Kurve 3 Ein (Filler)|Seite 0|11.0",
            "6|Filler_Lobix_Preset_CamOff3|5|Kurve 3 Aus (Filler)|Seite 0|359.0",
            "7|Filler_Lobix_part_Filler|6|Kurve 4 Ein (Filler)|Seite 0|33.0",
            "361|Labeller_Lobix_CamOn1_Labeller|0|Kurve 1 Ein (Labeller)|Seite 0|359.0",
            "720|Labeller_Lobix_Preset_CamOff180|359|Kurve 180 Aus (Labeller)|Seite 0|359.0",
        }));
    EXPECT_TRUE(installation.shown.empty());
}

// A Studio project renames the old VisiWin32 rows (row 10) and matches names and machines in any
// case (rows 10 and 20).
TEST_F(PresetDatabase, StudioProjectsRenameOldVisiWin32RowsAndMatchInAnyCase)
{
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=1\r\nVWStudio=true\r\n[Machine1]\r\nMachineName=Füller\r\n");
    MakeDatabases(installation, "Füller", "visiwin32");
    Sql(component,
        "UPDATE PRESET_DEFS SET machine_type = 'FÜLLER', var_name = 'FÜLLER_LOBIX_PRESET_CAMOFF5' "
        "WHERE ID = 10;"
        "UPDATE PRESET_DEFS SET machine_type = 'FÜLLER', var_name = 'FÜLLER.LOBIX.PRESET.CAMOFF10' "
        "WHERE ID = 20;");
    Run();
    EXPECT_EQ(Presets("var_name, abs_max", "ID IN (1, 10, 20)"),
        (Strings { "Füller.Lobix.CamOn1|359.0", "Füller.Lobix.Preset.CamOff5|300.0",
            "Füller.Lobix.Preset.CamOff10|300.0" }));
}

// The conflict ends the run as fatal, without the choice to go on.
TEST_F(PresetDatabase, ADemandedColumnTheTableLacksEndsTheRun)
{
    installation.Write(
        "Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=remark\r\n");
    EXPECT_EQ(EndStatus([this] { Run(); }), 1);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].title, "Fatal error");
}

// Integrated, the machines come from the host and take part by name, in any case; the machine
// copy, where there is one, is what the old values come from.
TEST_F(PresetDatabase, IntegratedTakesMachinesByNameAndTheMachineCopyFirst)
{
    installation.Write("parameter/tvxconfiguration.ini",
        "[Common]\r\nSaveAndRestore=" + installation.Path("save")
            + "\r\nNameM1=Füller\r\nNameM2=Packer\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nValidMachines=FÜLLER\r\n");
    MakeDatabases(installation, "Füller", "visiwin32");
    Run("/EXTERNAL=TVXCFG");
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt,
        "Konnte die Datei:\"Lobix.mdb\" in der Vorlage nicht finden!\r\n\r\n"
        "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
        "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
        "Standardwerten erzeugt.");
    EXPECT_EQ(installation.shown[0].icon, platform::kInformation);
    EXPECT_EQ(Presets("machine_type, COUNT(*), SUM(abs_max = 300)", "1 GROUP BY machine_type"),
        Strings { "Füller|360|36" });

    std::filesystem::create_directories(installation.root / "save/Lobix");
    std::filesystem::copy_file(component, installation.Path("save/Lobix/Lobix.mdb"));
    Sql(installation.Path("save/Lobix/Lobix.mdb"),
        "UPDATE PRESET_DEFS SET abs_max = 123 WHERE ID = 10;");
    // A Jet file in the component database's place is not read, and is kept beside the new one.
    installation.Write("Lobix/Lobix.mdb", JetFile("DateTestDatabase.mdb"));
    const std::string original = installation.Read("Lobix/Lobix.mdb");
    Run("/EXTERNAL=TVXCFG");
    EXPECT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(Presets("abs_max", "ID = 10"), Strings { "123.0" });
    EXPECT_TRUE(installation.Read("Lobix/Lobix.mdb.jet") == original);
}

TEST_F(PresetDatabase, SelectsMachinesToTheEndOfTheListWhateverTheirLettersCase)
{
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=7\r\n[Machine1]\r\nMachineName=M1\r\n"
        "[Machine2]\r\nMachineName=M2\r\n[Machine5]\r\nMachineName=M5\r\n"
        "[Machine6]\r\nMachineName=M6\r\n[Machine7]\r\nMachineName=M7\r\n");
    installation.Write("Lobix/Lobix.cfg",
        "[Project]\r\nForMachine1=true\r\nForMachine6=true\r\nForMachine7=TRUE\r\n");
    Sql(source, "DELETE FROM Source_PRESET_DEFS WHERE ID > 2;");
    Run();
    EXPECT_EQ(Presets("machine_type, COUNT(*), MIN(ID)", "1 GROUP BY machine_type"),
        (Strings { "M1|2|1", "M6|2|3", "M7|2|5" }));
}

// Templates stored for parts 1.5, 2.5 and 4 go to parts 1, 3 and 4; rows of parts 1.5, 2.5, 3.5
// and 4 take the templates of parts 1, 3, 3 and 4.
TEST_F(PresetDatabase, FractionalPartsRoundHalvesToEven)
{
    Sql(source,
        "DROP TABLE Source_DEFS; DROP TABLE Source_PRESET_DEFS;"
        "CREATE TABLE Source_DEFS (System VARCHAR(20), Var_Name VARCHAR(100), Part DOUBLE);"
        "INSERT INTO Source_DEFS VALUES ('VISIWIN32', 'one_###Var_Name', 1.5),"
        " ('VISIWIN32', 'three_###Var_Name', 2.5), ('VISIWIN32', 'four_###Var_Name', 4);"
        "CREATE TABLE Source_PRESET_DEFS (ID INTEGER, part DOUBLE, var_name VARCHAR(100),"
        " offset_or_bitno INTEGER);"
        "INSERT INTO Source_PRESET_DEFS VALUES (1, 1.5, 'a', 0), (2, 2.5, 'b', 0),"
        " (3, 3.5, 'c', 0), (4, 4, 'd', 0);");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
    Run();
    EXPECT_EQ(Rows(source, "SELECT var_name FROM PRESET_DEFS ORDER BY ID"),
        (Strings { "one_a", "three_b", "three_c", "four_d" }));
}

// A machine copy that is no sound database of the tool is reported, naming it, before anything
// changes, and the run ends.
TEST_F(PresetDatabase, AMachineCopyThatIsNoSoundDatabaseEndsTheRunWithNothingChanged)
{
    installation.Write("parameter/tvxconfiguration.ini",
        "[Common]\r\nSaveAndRestore=" + installation.Path("save") + "\r\nNameM1=Filler\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nValidMachines=ALL\r\n");
    const std::string valid = installation.Read("Lobix/Lobix.mdb");
    const std::pair<const char*, std::string> copies[] = {
        { "random bytes", std::string(4096, '\x5a') },
        { "truncated", valid.substr(0, valid.size() / 3) },
        { "empty", "" },
        { "a Jet file without PRESET_DEFS", JetFile("nwind.mdb") },
    };
    for (const auto& [kind, bytes] : copies) {
        installation.Write("save/Lobix/Lobix.mdb", bytes);
        const auto before = installation.ProjectFiles();
        installation.shown.clear();
        EXPECT_EQ(EndStatus([this] { Run("/EXTERNAL=TVXCFG"); }), 1) << kind;
        EXPECT_TRUE(installation.ProjectFiles() == before) << kind;
        EXPECT_TRUE(installation.Read("save/Lobix/Lobix.mdb") == bytes) << kind;
        ASSERT_EQ(installation.shown.size(), 1u) << kind;
        EXPECT_TRUE(installation.shown[0].prompt.starts_with(
            "File '" + installation.Path("save/Lobix/Lobix.mdb") + "' is no sound database"))
            << installation.shown[0].prompt;
        presetdb::Presets() = {};
    }
}
