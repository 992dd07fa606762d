// The engine layer as the preset-definition build uses it: layouts copied between tables, the
// legacy Jet queries, record-set behaviour, failures, and the state the file is left in on disk.
// The sqlite3 tool stands for other programs that make or read the files.
#include "platform/database.h"
#include "platform/failure.h"
#include "platform/jet_sql.h"

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

using namespace platform;

namespace {

class DatabaseTest : public testing::Test {
protected:
    void TearDown() override { ReleaseDatabaseFiles(); }

    // An empty file, which SQLite reads as an empty database.
    std::string NewFile(const std::string& name = "Lobix.mdb")
    {
        std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream { path };
        return path;
    }

    QTemporaryDir dir;
};
using DatabaseLayout = DatabaseTest;
using DatabaseQuery = DatabaseTest;
using DatabaseRecordset = DatabaseTest;
using DatabaseFailure = DatabaseTest;
using DatabaseFile = DatabaseTest;

std::string Tool(const std::string& file, const std::string& sql)
{
    QProcess tool;
    tool.start(
        QStringLiteral("sqlite3"), { QString::fromStdString(file), QString::fromStdString(sql) });
    tool.waitForFinished();
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    return tool.readAllStandardOutput().trimmed().toStdString();
}

const std::vector<FieldDef> kPresetFields = { { "ID", kDbLong, 4 }, { "part", kDbInteger, 2 },
    { "machine_type", kDbText, 50 }, { "type", kDbInteger, 2 }, { "var_name", kDbText, 50 },
    { "category_id", kDbLong, 4 }, { "isBitArray", kDbBoolean, 1 },
    { "offset_or_bitno", kDbInteger, 2 }, { "text", kDbMemo, 0 }, { "page_name", kDbText, 50 },
    { "abs_min", kDbDouble, 8 }, { "abs_max", kDbDouble, 8 }, { "min", kDbDouble, 8 },
    { "max", kDbDouble, 8 }, { "pass", kDbLong, 4 } };

const char* kToolPresetTable = "CREATE TABLE PRESET_DEFS (ID INTEGER, part INTEGER, machine_type "
                               "VARCHAR(50), type INTEGER, var_name TEXT, category_id INTEGER, "
                               "isBitArray BOOLEAN, offset_or_bitno INTEGER, text TEXT, page_name "
                               "VARCHAR(50), abs_min DOUBLE, abs_max REAL, min DOUBLE, max DOUBLE, "
                               "pass INTEGER)";

// Adds rows of ID, part, machine_type, var_name and offset_or_bitno through one record set.
void AddRows(Database& db, const std::string& table, const std::vector<std::vector<Value>>& rows)
{
    const char* names[] = { "ID", "part", "machine_type", "var_name", "offset_or_bitno" };
    Recordset records = OpenRecordset(db, table);
    for (const auto& row : rows) {
        AddNew(records);
        for (size_t i = 0; i < row.size(); ++i)
            SetValue(records, names[i], row[i]);
        Update(records);
    }
}

std::vector<long long> Ids(Database& db, const std::string& source)
{
    std::vector<long long> ids;
    for (Recordset records = OpenRecordset(db, source); !IsEof(records); MoveNext(records))
        ids.push_back(std::get<long long>(GetValue(records, "ID")));
    return ids;
}

// The first column of each row, read as text.
std::vector<std::string> Texts(Database& db, const std::string& query)
{
    std::vector<std::string> texts;
    for (Recordset records = OpenRecordset(db, query); !IsEof(records); MoveNext(records))
        texts.push_back(std::get<std::string>(GetValue(records, 0)));
    return texts;
}

// The indexes the open database has, its transaction's included.
std::vector<std::string> Indexes(Database& db)
{
    return Texts(db, "SELECT name FROM sqlite_schema WHERE type = 'index' ORDER BY name");
}

std::string Bytes(const std::string& file)
{
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

std::string VarNameQuery(const std::string& name)
{
    return "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=\"" + name
        + "\"))";
}

std::string TakeoverQuery(const std::string& machine, const std::string& name, int offset)
{
    return std::string("SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,")
        + " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray,"
        + " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name,"
        + " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max,"
        + " PRESET_DEFS.pass" + ", PRESET_DEFS.part" + " From PRESET_DEFS "
        + " WHERE (((PRESET_DEFS.machine_type)=\"" + machine + "\")"
        + " AND ((PRESET_DEFS.var_name)=\"" + name + "\") "
        + " AND ((PRESET_DEFS.offset_or_bitno)=" + std::to_string(offset) + "));";
}

// Each DAO type keeps its type and size through a stored table and a copy of its layout; the
// size given to a fixed-size type does not matter.
TEST_F(DatabaseLayout, EveryDaoTypeSurvivesStoringAndCopying)
{
    const std::vector<FieldDef> given = { { "b", kDbBoolean, 9 }, { "y", kDbByte, 9 },
        { "i", kDbInteger, 9 }, { "l", kDbLong, 9 }, { "c", kDbCurrency, 9 }, { "s", kDbSingle, 9 },
        { "d", kDbDouble, 9 }, { "t", kDbDate, 9 }, { "n", kDbBinary, 16 },
        { "x \"y\"", kDbText, 50 }, { "o", kDbLongBinary, 9 }, { "m", kDbMemo, 9 } };
    const std::vector<FieldDef> stored = { { "b", kDbBoolean, 1 }, { "y", kDbByte, 1 },
        { "i", kDbInteger, 2 }, { "l", kDbLong, 4 }, { "c", kDbCurrency, 8 }, { "s", kDbSingle, 4 },
        { "d", kDbDouble, 8 }, { "t", kDbDate, 8 }, { "n", kDbBinary, 16 },
        { "x \"y\"", kDbText, 50 }, { "o", kDbLongBinary, 0 }, { "m", kDbMemo, 0 } };
    std::string file = NewFile();
    Database db = OpenDatabase(file);
    AppendTable(db, { "Source_PRESET_DEFS", given });
    AppendTable(db, { "PRESET_DEFS", TableFields(db, "source_preset_defs") });
    EXPECT_EQ(TableFields(db, "Source_PRESET_DEFS"), stored);
    EXPECT_EQ(TableFields(db, "PRESET_DEFS"), stored);
    Close(db);
    const char* layout = "SELECT substr(sql, instr(sql, '(')) FROM sqlite_schema WHERE name = ";
    EXPECT_EQ(Tool(file, std::string(layout) + "'PRESET_DEFS'"),
        Tool(file, std::string(layout) + "'Source_PRESET_DEFS'"));
}

// Tables made by other tools read with the DAO types their declared types mean.
TEST_F(DatabaseLayout, ToolMadeColumnsReadAsTheirDaoTypes)
{
    std::string file = NewFile();
    Tool(file, "CREATE TABLE T (a INTEGER, b VARCHAR(50), c TEXT, d DOUBLE, e REAL, f BOOLEAN)");
    const std::vector<FieldDef> expected = { { "a", kDbLong, 4 }, { "b", kDbText, 50 },
        { "c", kDbMemo, 0 }, { "d", kDbDouble, 8 }, { "e", kDbDouble, 8 }, { "f", kDbBoolean, 1 } };
    Database db = OpenDatabase(file);
    EXPECT_EQ(TableFields(db, "T"), expected);
    AppendTable(db, { "Copy", TableFields(db, "T") });
    EXPECT_EQ(TableFields(db, "Copy"), expected);
}

// A renamed column keeps its place, type, size and values.
TEST_F(DatabaseLayout, RenamedColumnKeepsTypeAndValues)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "PRESET_DEFS", { { "ID", kDbLong, 4 }, { "categorie", kDbText, 20 } } });
    AddRows(db, "PRESET_DEFS", { { 1LL } });
    RenameField(db, "preset_defs", "CATEGORIE", "category_id");
    const std::vector<FieldDef> expected = { { "ID", kDbLong, 4 }, { "category_id", kDbText, 20 } };
    EXPECT_EQ(TableFields(db, "PRESET_DEFS"), expected);
    EXPECT_EQ(Ids(db, "PRESET_DEFS"), std::vector<long long> { 1 });
}

// The table list follows deletes and appends; an exact name means letter case counts.
TEST_F(DatabaseLayout, TableListFollowsDeleteAndAppend)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "Source_DEFS", { { "Part", kDbLong, 4 } } });
    AppendTable(db, { "PRESET_DEFS", { { "ID", kDbLong, 4 } } });
    EXPECT_TRUE(HasTable(db, "PRESET_DEFS"));
    EXPECT_FALSE(HasTable(db, "preset_defs"));
    DeleteTable(db, "PRESET_DEFS");
    EXPECT_EQ(TableNames(db), std::vector<std::string> { "Source_DEFS" });
}

// The legacy texts find rows by value whatever the case, also where a value equals a column's
// name, in the program's own table and in one made by another tool; the same rows in the same
// order once repeated look-ups are served by an index.
TEST_F(DatabaseQuery, LegacyTextsMatchValuesWithoutRegardToCase)
{
    struct Case {
        std::string jet;
        std::vector<long long> ids;
    };
    const Case cases[] = {
        { VarNameQuery("part"), { 1, 5 } },
        { VarNameQuery("PART"), { 1, 5 } },
        { VarNameQuery("var_name"), { 6 } },
        { VarNameQuery(R"(tank ""a"" o'neil)"), { 3 } },
        { TakeoverQuery("m1", "Part", 0), { 1, 5 } },
        { TakeoverQuery("M2", R"(Tank ""A"" O'Neil)", 2), { 3 } },
        { TakeoverQuery("M2", "Mixer", 4), {} },
        { "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
            { 1, 2, 3, 4, 5, 6 } },
    };
    for (bool toolMade : { false, true }) {
        std::string file = NewFile(toolMade ? "tool.mdb" : "own.mdb");
        if (toolMade)
            Tool(file,
                std::string(kToolPresetTable)
                    + "; CREATE TABLE Source_PRESET_DEFS AS "
                      "SELECT * FROM PRESET_DEFS");
        Database db = OpenDatabase(file);
        for (const char* table : { "PRESET_DEFS", "Source_PRESET_DEFS" }) {
            if (!toolMade)
                AppendTable(db, { table, kPresetFields });
            AddRows(db, table,
                { { 3LL, 8LL, "m2", R"(Tank "A" O'Neil)", 2LL }, { 1LL, 7LL, "M1", "part", 0LL },
                    { 4LL, 8LL, "M2", "Mixer", 5LL }, { 2LL, 7LL, "M1", "7", 1LL },
                    { 5LL, 7LL, "m1", "PART", 0LL }, { 6LL, 8LL, "M2", "var_name", 6LL } });
        }
        for (int round = 1; round <= 3; ++round)
            for (const Case& c : cases)
                EXPECT_EQ(Ids(db, c.jet), c.ids)
                    << c.jet << (toolMade ? " (tool-made)" : "") << ", round " << round;
        EXPECT_FALSE(Indexes(db).empty()) << (toolMade ? "tool-made" : "own");
    }
}

// The plan SQLite makes for a repeated look-up uses the index made for it, text compared
// without regard to case included.
TEST_F(DatabaseQuery, RepeatedLookupsSearchAnIndex)
{
    for (const std::string& jet : { VarNameQuery("b"), TakeoverQuery("M1", "b", 0) }) {
        std::string file = NewFile();
        Tool(
            file, std::string(kToolPresetTable) + "; INSERT INTO PRESET_DEFS (ID) VALUES (1), (2)");
        Database db = OpenDatabase(file);
        for (int round = 0; round < 3; ++round)
            Ids(db, jet);
        std::vector<std::string> made
            = Texts(db, "SELECT sql FROM sqlite_schema WHERE type = 'index'");
        Close(db);
        ASSERT_EQ(made.size(), 1u) << jet;
        std::string plan = Tool(file,
            "BEGIN; " + made[0] + "; EXPLAIN QUERY PLAN " + TranslateJetSql(jet).sql
                + "; ROLLBACK");
        EXPECT_NE(plan.find("SEARCH PRESET_DEFS USING INDEX lobix!lookup"), std::string::npos)
            << plan;
    }
}

// AddNew leaves the current row current; the stored row has Null where nothing was set.
TEST_F(DatabaseRecordset, AddNewKeepsCurrentRowAndStoresNullForUnsetColumns)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "PRESET_DEFS", kPresetFields });
    AddRows(db, "PRESET_DEFS", { { 1LL, 5LL }, { 2LL, 6LL } });
    Recordset records = OpenRecordset(db, "PRESET_DEFS");
    AddNew(records);
    SetValue(records, 0, 3LL);
    EXPECT_EQ(GetValue(records, "PART"), Value {});
    Update(records);
    EXPECT_EQ(GetValue(records, "ID"), Value { 1LL });
    EXPECT_EQ(RecordCount(records), 3);
    EXPECT_EQ(Ids(db, "PRESET_DEFS"), (std::vector<long long> { 1, 2, 3 }));
    Recordset added = OpenRecordset(db, "SELECT * FROM PRESET_DEFS WHERE ID = 3");
    EXPECT_EQ(GetValue(added, "part"), Value {});
}

// Right after opening, the count is the number of rows, for tables and queries alike.
TEST_F(DatabaseRecordset, RecordCountIsTheTrueRowCount)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "PRESET_DEFS", kPresetFields });
    AddRows(db, "PRESET_DEFS", { { 1LL, 5LL }, { 2LL, 5LL }, { 3LL, 6LL } });
    const std::pair<const char*, long> cases[] = { { "PRESET_DEFS", 3 },
        { "SELECT * FROM PRESET_DEFS", 3 }, { "SELECT ID FROM PRESET_DEFS WHERE part = 5", 2 },
        { "SELECT ID FROM PRESET_DEFS WHERE part = 9", 0 } };
    for (const auto& [source, count] : cases) {
        Recordset records = OpenRecordset(db, source);
        EXPECT_EQ(RecordCount(records), count) << source;
        EXPECT_EQ(IsEof(records), count == 0) << source;
    }
}

// Rows of a query keep their place while the column it selects by is changed, as the rename
// of variable names walks them; the look-up's index follows changed and added rows.
TEST_F(DatabaseRecordset, EditingTheSelectedColumnVisitsEachRowOnce)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "PRESET_DEFS", kPresetFields });
    AddRows(db, "PRESET_DEFS",
        { { 1LL, 5LL, "M1", "Old" }, { 2LL, 5LL, "M1", "old" }, { 3LL, 5LL, "M1", "Older" } });
    for (const char* name : { "x", "y" })
        Ids(db, VarNameQuery(name));
    ASSERT_EQ(Indexes(db).size(), 1u);
    int visited = 0;
    for (Recordset records = OpenRecordset(db, VarNameQuery("OLD")); !IsEof(records);
         MoveNext(records), ++visited) {
        Edit(records);
        SetValue(records, "var_name", "New");
        Update(records);
        EXPECT_EQ(GetValue(records, "VAR_NAME"), Value { "New" });
    }
    EXPECT_EQ(visited, 2);
    AddRows(db, "PRESET_DEFS", { { 4LL, 5LL, "M1", "NEW" } });
    EXPECT_EQ(Ids(db, VarNameQuery("new")), (std::vector<long long> { 1, 2, 4 }));
    EXPECT_EQ(Ids(db, VarNameQuery("old")), std::vector<long long> {});
}

// Values read with the kind their column's DAO type gives, whatever SQLite stored.
TEST_F(DatabaseRecordset, ValuesReadAsTheirColumnsDaoType)
{
    Database db = OpenDatabase(NewFile());
    AppendTable(db, { "T", { { "f", kDbBoolean }, { "d", kDbDouble }, { "m", kDbMemo } } });
    Recordset records = OpenRecordset(db, "T");
    AddNew(records);
    SetValue(records, "f", true);
    SetValue(records, "d", 5LL);
    SetValue(records, "m", "007");
    Update(records);
    Recordset stored = OpenRecordset(db, "T");
    EXPECT_EQ(GetValue(stored, "f"), Value { true });
    EXPECT_EQ(GetValue(stored, "d"), Value { 5.0 });
    EXPECT_EQ(GetValue(stored, "m"), Value { "007" });
}

// Each failed call raises the DAO number and source a caller's error handling expects.
TEST_F(DatabaseFailure, FailedCallsRaiseDaoNumbers)
{
    std::string file = NewFile();
    std::ofstream { dir.filePath(QStringLiteral("notes.txt")).toStdString() } << "not a database";
    Database db = OpenDatabase(file);
    AppendTable(db, { "PRESET_DEFS", kPresetFields });
    struct Case {
        const char* what;
        long number;
        const char* source;
        std::function<void()> call;
    };
    Recordset empty = OpenRecordset(db, "PRESET_DEFS");
    Recordset computed = OpenRecordset(db, "SELECT count(*) AS n FROM PRESET_DEFS");
    Recordset closed;
    const Case cases[] = {
        { "missing file", 3024, "DAO.Database", [&] { OpenDatabase(file + ".old"); } },
        { "not a database", 3343, "DAO.Database",
            [&] { OpenDatabase(dir.filePath(QStringLiteral("NOTES.TXT")).toStdString()); } },
        { "missing table", 3078, "DAO.Database", [&] { OpenRecordset(db, "Source_DEFS"); } },
        { "unknown column", 3061, "DAO.Database",
            [&] { OpenRecordset(db, "SELECT System From PRESET_DEFS"); } },
        { "bad SQL", 3075, "DAO.Database", [&] { OpenRecordset(db, "SELECT From PRESET_DEFS"); } },
        { "quote in a value", 3075, "DAO.Database",
            [&] { OpenRecordset(db, VarNameQuery(R"(say "hi")")); } },
        { "fields of missing table", 3265, "DAO.TableDef", [&] { TableFields(db, "X"); } },
        { "delete missing table", 3265, "DAO.TableDef", [&] { DeleteTable(db, "X"); } },
        { "rename missing column", 3265, "DAO.Field",
            [&] { RenameField(db, "PRESET_DEFS", "categorie", "category_id"); } },
        { "rename onto another", 3191, "DAO.Field",
            [&] { RenameField(db, "PRESET_DEFS", "min", "MAX"); } },
        { "table exists", 3010, "DAO.TableDef",
            [&] {
                AppendTable(db, { "preset_defs", kPresetFields });
            } },
        { "unknown type", 3259, "DAO.Field",
            [&] {
                AppendTable(db, { "T", { { "a", DaoType(15) } } });
            } },
        { "field twice", 3191, "DAO.TableDef",
            [&] {
                AppendTable(db, { "T", { { "a", kDbLong }, { "A", kDbText } } });
            } },
        { "no fields", 3264, "DAO.TableDef",
            [&] {
                AppendTable(db, { "T", {} });
            } },
        { "missing field", 3265, "DAO.Recordset", [&] { GetValue(empty, "System"); } },
        { "update without edit", 3020, "DAO.Recordset", [&] { Update(empty); } },
        { "set without edit", 3020, "DAO.Recordset", [&] { SetValue(empty, "ID", 1LL); } },
        { "read past the end", 3021, "DAO.Recordset", [&] { GetValue(empty, "ID"); } },
        { "move past the end", 3021, "DAO.Recordset", [&] { MoveNext(empty); } },
        { "edit a computed set", 3027, "DAO.Recordset", [&] { AddNew(computed); } },
        { "closed record set", 3420, "DAO.Recordset", [&] { IsEof(closed); } },
        { "release while open", 3045, "DAO.Database", [&] { ReleaseDatabaseFile(file); } },
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number, c.number) << c.what << ": " << failure.description;
            EXPECT_EQ(failure.source, c.source) << c.what;
        }
    }
}

// Changes stay in one transaction while a handle of the file is open; closing the last one
// leaves a complete file that another program reads, with no journal beside it.
TEST_F(DatabaseFile, ChangesReachTheFileWhenItsLastHandleCloses)
{
    std::string file = NewFile("Lobix.mdb");
    Tool(file, "CREATE TABLE T (ID INTEGER)");
    Database first = OpenDatabase(file);
    Database second = OpenDatabase(dir.filePath(QStringLiteral("LOBIX.MDB")).toStdString());
    AddRows(first, "T", { { 1LL }, { 2LL } });
    Close(first);
    EXPECT_EQ(Tool(file, "SELECT count(*) FROM T"), "0");
    Close(second);
    EXPECT_EQ(Tool(file, "SELECT count(*) FROM T"), "2");
    EXPECT_FALSE(std::filesystem::exists(file + "-journal"));
}

// While another file stays open, a closed file's changes wait; a release stores them.
TEST_F(DatabaseFile, ReleaseStoresAClosedFileWhileAnotherStaysOpen)
{
    std::string component = NewFile("Lobix.mdb");
    Tool(component, "CREATE TABLE T (ID INTEGER)");
    Database source = OpenDatabase(NewFile("Lobix_Source.mdb"));
    for (long long id : { 1LL, 2LL }) {
        Database db = OpenDatabase(component);
        AddRows(db, "T", { { id } });
    }
    EXPECT_EQ(Tool(component, "SELECT count(*) FROM T"), "0");
    ReleaseDatabaseFile(component);
    EXPECT_EQ(Tool(component, "SELECT count(*) FROM T"), "2");
    EXPECT_FALSE(std::filesystem::exists(component + "-journal"));
}

// A file replaced after its handles closed is read afresh, with or without a release first.
TEST_F(DatabaseFile, ReplacedFileIsReadAfresh)
{
    std::string file = NewFile();
    for (const char* table : { "First", "Second", "Third" }) {
        std::string replacement = NewFile("new.mdb");
        Tool(replacement, std::string("CREATE TABLE ") + table + " (ID INTEGER)");
        std::filesystem::rename(replacement, file);
        Database db = OpenDatabase(file);
        EXPECT_EQ(TableNames(db), std::vector<std::string> { table });
        Close(db);
        if (std::string(table) == "Second")
            ReleaseDatabaseFile(file);
    }
}

// The engine's look-up indexes never reach the file: a file only read is left as it was, byte
// for byte; a changed one gets the changes, its own indexes and no other.
TEST_F(DatabaseFile, LookupIndexesStayOutOfTheFile)
{
    Database other = OpenDatabase(NewFile("other.mdb"));
    for (bool writes : { false, true }) {
        std::string file = NewFile(writes ? "written.mdb" : "read.mdb");
        Tool(file,
            std::string(kToolPresetTable)
                + "; CREATE INDEX own_ids ON PRESET_DEFS (ID);"
                  " INSERT INTO PRESET_DEFS (ID, var_name) VALUES (1, 'a'), (2, 'B')");
        std::string before = Bytes(file);
        Database db = OpenDatabase(file);
        for (const char* name : { "a", "b", "A" })
            Ids(db, VarNameQuery(name));
        EXPECT_EQ(Indexes(db).size(), 2u);
        if (writes)
            AddRows(db, "PRESET_DEFS", { { 3LL } });
        Close(db);
        ReleaseDatabaseFile(file);
        EXPECT_EQ(Tool(file, "SELECT name FROM sqlite_schema WHERE type = 'index'"), "own_ids");
        EXPECT_EQ(Tool(file, "SELECT count(*) FROM PRESET_DEFS"), writes ? "3" : "2");
        if (!writes) {
            EXPECT_EQ(Bytes(file), before);
        }
    }
}

// Tables and columns change as before while look-ups on them are indexed.
TEST_F(DatabaseFile, LayoutChangesWhileLookupsAreIndexed)
{
    std::string file = NewFile();
    Database db = OpenDatabase(file);
    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            DeleteTable(db, "PRESET_DEFS");
        AppendTable(db, { "PRESET_DEFS", kPresetFields });
        AddRows(db, "PRESET_DEFS", { { 1LL, 5LL, "M1", "a" }, { 2LL, 5LL, "M1", "b" } });
        for (const char* name : { "x", "y", "A" })
            Ids(db, TakeoverQuery("m1", name, 0));
        EXPECT_EQ(Indexes(db).size(), 1u);
    }
    RenameField(db, "PRESET_DEFS", "machine_type", "machine");
    EXPECT_EQ(TableFields(db, "PRESET_DEFS")[2].name, "machine");
    EXPECT_EQ(Ids(db, VarNameQuery("a")), std::vector<long long> { 1 });
    Close(db);
    EXPECT_EQ(Tool(file, "SELECT count(*) FROM sqlite_schema WHERE type = 'index'"), "0");
}

}
