// Silent runs on hand-made databases: columns without types, columns named as the row ids, values
// of another type than their new column's, a missing template. Each ends with its status, and the
// component database holds what the original engine's tables would; a failed run leaves it as it
// was.
#include "support/databases.h"
#include "support/program_run.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

const std::string kSource = "Lobix/Lobix_Source.mdb", kComponent = "Lobix/Lobix.mdb";

const std::string kUntyped = "ID, machine_type, part, var_name, type, category_id, isBitArray,"
                             " offset_or_bitno, text, page_name, abs_min, abs_max, min, max, pass";
const std::string kTyped = "ID INTEGER, machine_type VARCHAR(50), part SMALLINT, var_name "
                           "VARCHAR(100), type SMALLINT, category_id INTEGER, isBitArray BOOLEAN, "
                           "offset_or_bitno INTEGER, text VARCHAR(255), page_name VARCHAR(50), "
                           "abs_min DOUBLE, abs_max DOUBLE, min DOUBLE, max VARCHAR(20), pass "
                           "SMALLINT";

// Source_PRESET_DEFS made anew with these column declarations, its rows kept.
std::string Template(const std::string& columns)
{
    return "CREATE TABLE New (" + columns + "); INSERT INTO New (" + kUntyped
        + ") SELECT * FROM Source_PRESET_DEFS;"
        + " DROP TABLE Source_PRESET_DEFS; ALTER TABLE New RENAME TO Source_PRESET_DEFS;";
}

struct TableCase {
    std::string name, sourceSql, componentSql; // run on the databases before the run
    int status;
    std::string query; // on the component database afterwards
    Strings rows;
    std::string report = ""; // a piece of the service-pack log
    Strings log = {}; // the error log, where checked
    friend void PrintTo(const TableCase& c, std::ostream* out) { *out << c.name; }
};

// The old rows whose limits were changed: every tenth, 36 of the first 360.
const std::string kCarried = "SELECT COUNT(*) FROM PRESET_DEFS WHERE abs_max = 300";

const TableCase kCases[] = {
    { "untyped template columns", Template(kUntyped), "", 0,
        "SELECT typeof(var_name), typeof(pass), COUNT(*), SUM(abs_max = 300) FROM PRESET_DEFS "
        "GROUP BY 1, 2",
        { "text|integer|360|36" } },
    { "a RowID column in the template",
        Template(kUntyped + ", \"RowID\" TEXT")
            + "UPDATE Source_PRESET_DEFS SET RowID = 'r' || ID;",
        "", 0, "SELECT RowID, COUNT(*), SUM(abs_max = 300) FROM PRESET_DEFS WHERE ID = 10",
        { "r10|1|1" } },
    { "_rowid_ and oid columns in the old table", "",
        "ALTER TABLE PRESET_DEFS ADD COLUMN \"_rowid_\" INTEGER; ALTER TABLE PRESET_DEFS ADD "
        "COLUMN OID TEXT; UPDATE PRESET_DEFS SET _rowid_ = 7, oid = 'x';",
        0, kCarried, { "36" } },
    { "every name of the row ids taken in the template",
        Template(kUntyped + ", rowid, _ROWID_, Oid"), "", 1, kCarried, { "52" },
        "the columns of table 'PRESET_DEFS' take every name of its row ids" },
    // Whole-number columns round halves to the even number; a text column takes a number as text.
    { "values converted to their new column's type", Template(kTyped),
        "UPDATE PRESET_DEFS SET pass = 2.5, max = 5.0 WHERE ID = 1;"
        "UPDATE PRESET_DEFS SET pass = 3.5, max = 1e20 WHERE ID = 2;"
        "UPDATE PRESET_DEFS SET pass = '-2', max = NULL WHERE ID = 3;",
        0, "SELECT ID, pass, typeof(max), max FROM PRESET_DEFS WHERE ID <= 3 ORDER BY ID",
        { "1|2|text|5", "2|4|text|1E+20", "3|-2|null|NULL" } },
    { "an overflow", "", "UPDATE PRESET_DEFS SET pass = 70000 WHERE ID = 1;", 1,
        "SELECT pass FROM PRESET_DEFS WHERE ID = 1", { "70000" }, "Unexpected error!\n\rOverflow" },
    { "a text that is no number", "", "UPDATE PRESET_DEFS SET abs_min = 'abc' WHERE ID = 1;", 1,
        "SELECT abs_min FROM PRESET_DEFS WHERE ID = 1", { "abc" },
        "Unexpected error!\n\rType mismatch" },
    // An old table without a column: one report for all its rows, and nothing saved.
    { "a column missing in the old table", "", "ALTER TABLE PRESET_DEFS DROP COLUMN page_name;", 1,
        kCarried, { "52" }, "",
        { ErrorLine("TakeoverMachineCopyMDBData", 3265,
              "Item not found in this collection: no field 'page_name'.", "DAO.Recordset"),
            "... repeated 519 times" } },
    // No template: the rules read the old rows, find the demanded "part" missing, and end there.
    { "no template while old rows exist", "DROP TABLE Source_PRESET_DEFS;", "", 1, kCarried,
        { "52" }, "",
        { ErrorLine("WorkOnMDB", 3265,
              "Item not found in this collection: no table 'Source_PRESET_DEFS'.", "DAO.TableDef"),
            ErrorLine("CreateRecordSets", 3078,
                "Cannot find the input table or query 'PRESET_DEFS'.", "DAO.Database"),
            ErrorLine("CreateRecordSets", 3078,
                "Cannot run SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY "
                "Source_PRESET_DEFS.ID: no such table: Source_PRESET_DEFS",
                "DAO.Database"),
            ErrorLine("CreateRecordSets", 3420,
                "Object invalid or no longer set: the record set is closed.", "DAO.Recordset"),
            "... repeated 1 times",
            ErrorLine("TakeoverMachineCopyMDBData", 3078,
                "Cannot find the input table or query 'PRESET_DEFS'.", "DAO.Database"),
            "Conflict while attempting to extend database!Configurationsfile \"LOBIX.CFG\", "
            "demanded field \"PART\"missing in machinecopy-database\n\rConfiguration of "
            "\"LOBIX\" aborted.",
            ErrorLine("TakeoverMachineCopyMDBData", 9999, "Database-Error - Contact Administrator!",
                "Lobix_Config") } },
};

class TableKinds : public testing::TestWithParam<TableCase> { };

}

TEST_P(TableKinds, EndsWithItsStatusAndLeavesTheRowsTheOriginalWould)
{
    const TableCase& c = GetParam();
    TempInstallation i;
    i.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
    i.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
    MakeDatabases(i, "Filler", "visiwin32");
    Sql(i.Path(kSource), c.sourceSql);
    Sql(i.Path(kComponent), c.componentSql);
    const std::string component = i.Read(kComponent);
    EXPECT_EQ(RunProgram(i, "/EXTERNAL=SILENT"), c.status) << i.Read("servicepack.log");
    EXPECT_EQ(Rows(i.Path(kComponent), c.query), c.rows);
    EXPECT_TRUE(c.status == 0 || i.Read(kComponent) == component) << "a failed run replaced it";
    EXPECT_NE(i.Read("servicepack.log").find(c.report), std::string::npos)
        << i.Read("servicepack.log");
    if (!c.log.empty()) {
        EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")), c.log);
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, TableKinds, testing::ValuesIn(kCases), CaseName<TableCase>);
