// The built program's silent run over a component's databases: the rebuilt presets land in the
// component database with the old limits carried over.
#include "support/databases.h"
#include "support/program_run.h"

#include <gtest/gtest.h>

using testing_support::Rows;
using testing_support::TempInstallation;
using Strings = std::vector<std::string>;

TEST(DatabaseRun, SilentRunReplacesTheComponentDatabase)
{
    TempInstallation installation;
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=2\r\nVWStudio=false\r\n[Machine1]\r\nMachineName=Filler\r\nCamNr270=true\r\n"
        "[Machine2]\r\nMachineName=Packer\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
    testing_support::MakeDatabases(installation, "Filler,Packer", "studio");
    std::string source = installation.Path("Lobix/Lobix_Source.mdb");
    std::filesystem::last_write_time(source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
    auto sourceTime = std::filesystem::last_write_time(source);

    ASSERT_EQ(testing_support::RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");

    std::string component = installation.Path("Lobix/Lobix.mdb");
    EXPECT_EQ(Rows(component, "SELECT machine_type, COUNT(*), MIN(ID), MAX(ID) FROM PRESET_DEFS GROUP BY 1 ORDER BY 3"),
        (Strings { "Filler|520|1|520", "Packer|520|521|1040" }));
    EXPECT_EQ(Rows(component, "SELECT ID, var_name, offset_or_bitno, abs_min, abs_max, min, max, pass FROM PRESET_DEFS "
                              "WHERE ID IN (9, 10, 1040) ORDER BY ID"),
        (Strings { "9|Filler_Lobix_CamOn5|8|0.0|359.0|0.0|359.0|1",
            "10|Filler_Lobix_Preset_CamOff5|9|-10.0|300.0|5.0|NULL|2",
            "1040|Packer_Lobix_Preset_CamOff260|519|-10.0|300.0|5.0|NULL|2" }));
    EXPECT_EQ(Rows(component, "SELECT COUNT(*) FROM PRESET_DEFS WHERE abs_max = 300"), Strings { "104" });
    EXPECT_EQ(std::filesystem::last_write_time(source), sourceTime);
    EXPECT_FALSE(installation.Exists("Lobix/Lobix.mdb-journal"));
    EXPECT_FALSE(installation.Exists("servicepack.log")) << installation.Read("servicepack.log");
}

TEST(DatabaseRun, ADemandedColumnMissingEndsAndKeepsTheRebuiltTable)
{
    TempInstallation installation;
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=remark\r\n");
    testing_support::MakeDatabases(installation, "Filler", "visiwin32");

    EXPECT_EQ(testing_support::RunProgram(installation, "/EXTERNAL=SILENT"), 1);

    EXPECT_EQ(Rows(installation.Path("Lobix/Lobix_Source.mdb"), "SELECT COUNT(*) FROM PRESET_DEFS"), Strings { "360" });
    EXPECT_EQ(Rows(installation.Path("Lobix/Lobix.mdb"), "SELECT COUNT(*) FROM PRESET_DEFS"), Strings { "520" })
        << "the component database is not replaced";
    EXPECT_EQ(Rows(installation.Path("Lobix/Lobix.mdb"), "SELECT name FROM pragma_table_info('PRESET_DEFS') "
                                                         "WHERE name LIKE 'categ%'"),
        Strings { "category_id" });
    EXPECT_FALSE(installation.Exists("Lobix/Lobix_Source.mdb-journal"));
    EXPECT_FALSE(installation.Exists("Lobix/Lobix.mdb-journal"));
    EXPECT_NE(installation.Read("TVXcfglog.txt").find("demanded field \"REMARK\""), std::string::npos);
}
