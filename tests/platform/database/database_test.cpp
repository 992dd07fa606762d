// The engine layer as the preset-definition build uses it: layouts copied between tables, the
// legacy Jet queries, record-set behaviour, failures, and the state the file is left in on disk.
// SQLite used directly stands for other programs that make or read the files.
#include "platform/database/database.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"
#include "support/databases.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::Rows;

namespace {

using Values = std::vector<Value>;
using Texts = std::vector<std::string>;

class DatabaseTest : public testing::Test {
protected:
    void TearDown() override { ReleaseDatabaseFiles(); }

    // A file another program made with `sql`; an empty one, which SQLite reads as empty, without.
    std::string NewFile(const std::string& name, const std::string& sql = "")
    {
        std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream { path };
        testing_support::Sql(path, sql);
        return path;
    }

    QTemporaryDir dir;
};

// The preset definitions' columns that the look-ups compare, as another tool declares them.
const std::string kToolColumns
    = "(ID INTEGER, part INTEGER, machine_type VARCHAR(50), var_name TEXT, offset_or_bitno INTEGER)";

// Adds rows of ID, part, machine_type, var_name and offset_or_bitno through one record set.
void AddRows(Database& db, const std::string& table, const std::vector<Values>& rows)
{
    const char* names[] = { "ID", "part", "machine_type", "var_name", "offset_or_bitno" };
    Recordset records = OpenRecordset(db, table);
    for (const Values& row : rows) {
        AddNew(records);
        for (size_t i = 0; i < row.size(); ++i)
            SetValue(records, names[i], row[i]);
        Update(records);
    }
}

// The field's values (every field's, without one) of the rows of a table or query, read three
// times as repeated look-ups are: the last read may search an index that the scans of the first
// two earn, and must find the same.
Values Column(Database& db, const std::string& source, const std::string& field = "ID")
{
    Values reads[3];
    for (Values& read : reads)
        for (Recordset records = OpenRecordset(db, source); !IsEof(records); MoveNext(records))
            for (int i = 0; i < (field.empty() ? FieldCount(records) : 1); ++i)
                read.push_back(field.empty() ? GetValue(records, i) : GetValue(records, field));
    EXPECT_EQ(reads[2], reads[0]) << source;
    return reads[2];
}

// The SQL of the indexes the open database has, its transaction's included.
Values Indexes(Database& db)
{
    return Column(db, "SELECT sql FROM sqlite_schema WHERE type = 'index'", "sql");
}

// "number source" of the failure the call raises, or "no failure".
template <typename Call> std::string Failed(Call call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return std::to_string(failure.number) + " " + failure.source;
    }
    return "no failure";
}

std::string VarNameQuery(const std::string& name)
{
    return "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=\"" + name
        + "\"))";
}

std::string TakeoverQuery(const std::string& machine, const std::string& name, int offset)
{
    return "SELECT PRESET_DEFS.ID, PRESET_DEFS.part From PRESET_DEFS "
           " WHERE (((PRESET_DEFS.machine_type)=\""
        + machine + "\") AND ((PRESET_DEFS.var_name)=\"" + name
        + "\")  AND ((PRESET_DEFS.offset_or_bitno)=" + std::to_string(offset) + "));";
}

// Each DAO type keeps its type and size through a stored table and a copy of its layout (a size
// given to a fixed-size type does not matter); tool-made columns and values read as their declared
// types mean, Jet's type names included, also once renamed; the table list follows deletes, by
// exact name.
TEST_F(DatabaseTest, LayoutsKeepTheirDaoTypes)
{
    const std::vector<FieldDef> given = { { "b", kDbBoolean, 9 }, { "y", kDbByte, 9 },
        { "i", kDbInteger, 9 }, { "l", kDbLong, 9 }, { "c", kDbCurrency, 9 }, { "s", kDbSingle, 9 },
        { "d", kDbDouble, 9 }, { "t", kDbDate, 9 }, { "n", kDbBinary, 16 },
        { "x \"y\"", kDbText, 50 }, { "o", kDbLongBinary, 9 }, { "m", kDbMemo, 9 } };
    const std::vector<FieldDef> stored = { { "b", kDbBoolean, 1 }, { "y", kDbByte, 1 },
        { "i", kDbInteger, 2 }, { "l", kDbLong, 4 }, { "c", kDbCurrency, 8 }, { "s", kDbSingle, 4 },
        { "d", kDbDouble, 8 }, { "t", kDbDate, 8 }, { "n", kDbBinary, 16 },
        { "x \"y\"", kDbText, 50 }, { "o", kDbLongBinary, 0 }, { "m", kDbMemo, 0 } };
    std::vector<FieldDef> tool = { { "a", kDbLong, 4 }, { "b", kDbText, 50 }, { "c", kDbMemo, 0 },
        { "d", kDbDouble, 8 }, { "e", kDbDouble, 8 }, { "f", kDbBoolean, 1 }, { "g", kDbDate, 8 },
        { "h", kDbMemo, 0 }, { "i", kDbLong, 4 }, { "j", kDbInteger, 2 }, { "k", kDbBoolean, 1 },
        { "l", kDbBoolean, 1 }, { "m", kDbDouble, 8 }, { "n", kDbText, 255 },
        { "o", kDbLongBinary, 0 }, { "p", kDbCurrency, 8 }, { "q", kDbByte, 1 },
        { "r", kDbText, 255 } };
    Database db = OpenDatabase(NewFile("Lobix.mdb",
        "CREATE TABLE T (a INTEGER, b VARCHAR(50), c TEXT, d DOUBLE, e REAL, f BOOLEAN,"
        " g DATETIME, h MEMO, i LONG, j SHORT, k BIT, l YESNO, m NUMERIC, n CHAR, o LONGBINARY,"
        " p MONEY, q BYTE, r varchar); INSERT INTO T (b, f, g, i, k) VALUES ('x', 1, 5, 7, -1)"));
    AppendTable(db, { "Source_PRESET_DEFS", given });
    AppendTable(db, { "PRESET_DEFS", TableFields(db, "source_preset_defs") });
    EXPECT_EQ(TableFields(db, "Source_PRESET_DEFS"), stored);
    EXPECT_EQ(TableFields(db, "PRESET_DEFS"), stored);
    RenameField(db, "t", "B", "category_id");
    tool[1].name = "category_id";
    EXPECT_EQ(TableFields(db, "T"), tool);
    EXPECT_EQ(Column(db, "SELECT category_id, f, g, i, k FROM T", ""),
        (Values { "x", true, 5.0, 7LL, true }));
    DeleteTable(db, "t");
    EXPECT_EQ(TableNames(db), (Texts { "Source_PRESET_DEFS", "PRESET_DEFS" }));
    EXPECT_TRUE(HasTable(db, "PRESET_DEFS"));
    EXPECT_FALSE(HasTable(db, "preset_defs"));
}

// The preset definitions as another tool made them and as the program's own copy of them.
class PresetDefsTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        db = OpenDatabase(NewFile("Lobix.mdb", "CREATE TABLE PRESET_DEFS " + kToolColumns));
        AppendTable(db, { "Source_PRESET_DEFS", TableFields(db, "PRESET_DEFS") });
        for (const char* table : { "PRESET_DEFS", "Source_PRESET_DEFS" })
            AddRows(db, table,
                { { 3LL, 8LL, "m2", R"(Tank "A" O'Neil)", 2LL }, { 1LL, 7LL, "M1", "part", 0LL },
                    { 4LL, 8LL, "M2", "Mixer", 5LL }, { 2LL, 7LL, "M1", "7", 1LL },
                    { 5LL, 7LL, "m1", "PART", 0LL }, { 6LL, 8LL, "M2", "var_name", 6LL },
                    { 7LL, 9LL, "Füller", "FÜLLER.NÖCKEN", 9LL } });
    }

    void TearDown() override
    {
        Close(db);
        DatabaseTest::TearDown();
    }

    Database db;
};

// Jet texts find rows by value whatever the case of any letter, also where a value equals a
// column's name, in both tables, also when read again through the engine's look-up indexes;
// strings in either quote style, names in brackets, and operators SQLite reads otherwise mean
// what Jet means.
TEST_F(PresetDefsTest, JetTextsMatchValuesWithoutRegardToCase)
{
    const std::pair<std::string, Values> cases[] = {
        { TakeoverQuery("m1", "Part", 0), { 1LL, 5LL } },
        { TakeoverQuery("M2", "Mixer", 4), {} },
        { VarNameQuery("part"), { 1LL, 5LL } },
        { VarNameQuery("var_name"), { 6LL } },
        { VarNameQuery(R"(tank ""a"" o'neil)"), { 3LL } },
        { VarNameQuery("füller.nöcken"), { 7LL } },
        { TakeoverQuery("FÜLLER", "Füller.Nöcken", 9), { 7LL } },
        { "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
            { 1LL, 2LL, 3LL, 4LL, 5LL, 6LL, 7LL } },
        { R"(SELECT ID FROM PRESET_DEFS WHERE var_name='tank "a" O''NEIL' AND ID=3.0e0)", { 3LL } },
        { R"(SELECT ID FROM PRESET_DEFS AS [P"] WHERE [P"].var_name="a;b" OR [P"].ID=4; )"
          "\r\n",
            { 4LL } },
        { R"(SELECT ID FROM PRESET_DEFS WHERE var_name>="part" AND "PART">=var_name)",
            { 1LL, 5LL } },
        { "SELECT ID FROM PRESET_DEFS WHERE var_name=7 OR ID=99999999999999999999", { 2LL } },
        { R"(SELECT ID FROM PRESET_DEFS WHERE ID=(SELECT max(ID) FROM PRESET_DEFS AS P
             WHERE P.machine_type="m2"))",
            { 6LL } },
        { "SELECT ID FROM PRESET_DEFS WHERE ID--2=9 AND ID>=-2.5", { 7LL } },
    };
    for (const auto& [jet, ids] : cases)
        EXPECT_EQ(Column(db, jet), ids) << jet;
}

// A record set counts its rows, those it adds included; AddNew leaves the current row current,
// also past the end, and stores Null where nothing was set. Rows of a query keep their place while
// the column it selects by changes, as the renaming of variables walks them through their index.
TEST_F(PresetDefsTest, RecordSetsCountAddAndEditRows)
{
    const std::pair<const char*, long> counts[] = { { "Source_PRESET_DEFS", 7 },
        { "SELECT ID FROM Source_PRESET_DEFS WHERE part = 7", 3 },
        { "SELECT ID FROM Source_PRESET_DEFS WHERE part > 9", 0 },
        { "SELECT DISTINCT machine_type FROM Source_PRESET_DEFS", 3 } };
    for (const auto& [source, count] : counts) {
        Recordset records = OpenRecordset(db, source);
        EXPECT_EQ(RecordCount(records), count) << source;
        EXPECT_EQ(IsEof(records), count == 0) << source;
    }
    Recordset records = OpenRecordset(db, "Source_PRESET_DEFS");
    AddNew(records);
    SetValue(records, 0, 8LL);
    EXPECT_EQ(GetValue(records, "PART"), Value {});
    Update(records);
    EXPECT_EQ(GetValue(records, "id"), Value { 3LL });
    EXPECT_EQ(RecordCount(records), 8);
    EXPECT_EQ(Column(db, VarNameQuery("part")), (Values { 1LL, 5LL }));
    ASSERT_EQ(Indexes(db).size(), 1u);
    int visited = 0;
    Recordset walk = OpenRecordset(db, VarNameQuery("PART"));
    for (; !IsEof(walk); MoveNext(walk), ++visited) {
        Edit(walk);
        SetValue(walk, "var_name", "New");
        Update(walk);
        EXPECT_EQ(GetValue(walk, "VAR_NAME"), Value { "New" });
    }
    EXPECT_EQ(visited, 2);
    AddNew(walk);
    SetValue(walk, "ID", 8LL);
    SetValue(walk, "var_name", "NEW");
    Update(walk);
    EXPECT_TRUE(IsEof(walk));
    EXPECT_EQ(Column(db, VarNameQuery("new")), (Values { 1LL, 5LL, 8LL }));
    EXPECT_EQ(Column(db, VarNameQuery("new"), "part"), (Values { 7LL, 7LL, {} }));
    EXPECT_EQ(Column(db, VarNameQuery("part")), Values {});
}

// Each failed call raises the DAO number and source a caller's error handling expects; a Jet text
// that cannot be read whole is refused rather than cut short.
TEST_F(DatabaseTest, FailedCallsRaiseDaoNumbers)
{
    std::string file = NewFile("Lobix.mdb", "CREATE TABLE T (ID INTEGER, min REAL, max REAL)");
    std::string notes = dir.filePath(QStringLiteral("notes.txt")).toStdString();
    std::ofstream { notes } << "not a database";
    Database db = OpenDatabase(file);
    Recordset empty = OpenRecordset(db, "T");
    Recordset computed = OpenRecordset(db, "SELECT count(*) AS n FROM T");
    Recordset closed;
    const TableDef existing { "t", { { "a", kDbLong } } },
        unknown { "U", { { "a", DaoType(15) } } },
        twice { "U", { { "a", kDbLong }, { "A", kDbText } } }, fieldless { "U", {} };
    auto query = [&](const std::string& sql) { return Failed([&] { OpenRecordset(db, sql); }); };
    const std::pair<const char*, std::string> cases[] = {
        { "3024 DAO.Database", Failed([&] { OpenDatabase(file + ".old"); }) },
        { "3343 DAO.Database", Failed([&] { OpenDatabase(notes); }) },
        { "3078 DAO.Database", query("Source_DEFS") },
        { "3061 DAO.Database", query("SELECT System From T") },
        { "3075 DAO.Database", query(VarNameQuery(R"(say "hi")")) },
        { "3075 DAO.Database", query("SELECT ID FROM T WHERE ID='open") },
        { "3075 DAO.Database", query("SELECT [ID FROM T") },
        { "3142 DAO.Database", query("SELECT ID FROM T; DROP TABLE T") },
        { "3265 DAO.TableDef", Failed([&] { TableFields(db, "X"); }) },
        { "3265 DAO.Field", Failed([&] { RenameField(db, "T", "a", "b"); }) },
        { "3191 DAO.Field", Failed([&] { RenameField(db, "T", "min", "MAX"); }) },
        { "3010 DAO.TableDef", Failed([&] { AppendTable(db, existing); }) },
        { "3259 DAO.Field", Failed([&] { AppendTable(db, unknown); }) },
        { "3191 DAO.TableDef", Failed([&] { AppendTable(db, twice); }) },
        { "3264 DAO.TableDef", Failed([&] { AppendTable(db, fieldless); }) },
        { "3265 DAO.Recordset", Failed([&] { GetValue(empty, "System"); }) },
        { "3020 DAO.Recordset", Failed([&] { Update(empty); }) },
        { "3020 DAO.Recordset", Failed([&] { SetValue(empty, "ID", 1LL); }) },
        { "3021 DAO.Recordset", Failed([&] { MoveNext(empty); }) },
        { "3027 DAO.Recordset", Failed([&] { AddNew(computed); }) },
        { "3420 DAO.Recordset", Failed([&] { IsEof(closed); }) },
        { "3045 DAO.Database", Failed([&] { ReleaseDatabaseFile(file); }) },
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].second, cases[i].first) << "case " << i + 1;
    EXPECT_EQ(TableNames(db), Texts { "T" });
}

// Changes wait in one transaction while a handle of any file is open; a release, or closing the
// last handle, leaves a complete file that another program reads, with no journal beside it and
// none of the engine's look-up indexes, whatever the tables went through while they were there.
// A file only read is left as it was, byte for byte; one replaced meanwhile is read afresh.
TEST_F(DatabaseTest, FilesOnDiskAreCompleteAndFreeOfLookupIndexes)
{
    std::string tables = "CREATE TABLE PRESET_DEFS " + kToolColumns
        + "; CREATE TABLE Other (ID INTEGER); CREATE INDEX own_ids ON Other (ID);"
          " INSERT INTO PRESET_DEFS (ID, var_name) VALUES (1, 'a'), (2, 'B')";
    std::string read = NewFile("read.mdb", tables), file = NewFile("Lobix.mdb", tables);
    auto bytes = [&] {
        std::string content;
        ReadWholeFile(read, content);
        return content;
    };
    std::string before = bytes();
    Database other = OpenDatabase(read);
    EXPECT_EQ(Column(other, VarNameQuery("b")), Values { 2LL });
    Database db = OpenDatabase(dir.filePath(QStringLiteral("LOBIX.MDB")).toStdString());
    EXPECT_EQ(Column(db, VarNameQuery("b")), Values { 2LL });
    RenameField(db, "PRESET_DEFS", "var_name", "Var_Name");
    EXPECT_EQ(Column(db, VarNameQuery("B")), Values { 2LL });
    std::vector<FieldDef> layout = TableFields(db, "PRESET_DEFS");
    DeleteTable(db, "preset_defs");
    AppendTable(db, { "PRESET_DEFS", layout });
    AddRows(db, "PRESET_DEFS", { { 3LL, 0LL, "M1", "b" }, { 4LL } });
    EXPECT_EQ(Column(db, VarNameQuery("b")), Values { 3LL });
    EXPECT_EQ(Indexes(db).size(), 2u);
    Close(db);
    const std::string ids = "SELECT group_concat(ID) FROM PRESET_DEFS";
    EXPECT_EQ(Rows(file, ids), Texts { "1,2" });
    ReleaseDatabaseFile(file);
    EXPECT_EQ(Rows(file, ids), Texts { "3,4" });
    EXPECT_EQ(Rows(file, "SELECT name FROM sqlite_schema WHERE type = 'index'"), Texts { "own_ids" });
    db = OpenDatabase(file);
    AddRows(db, "PRESET_DEFS", { { 5LL } });
    Close(db);
    EXPECT_EQ(Rows(file, ids), Texts { "3,4" });
    EXPECT_EQ(Indexes(other).size(), 2u);
    Close(other);
    EXPECT_EQ(Rows(file, ids), Texts { "3,4,5" });
    EXPECT_FALSE(std::filesystem::exists(file + "-journal"));
    EXPECT_EQ(bytes(), before);
    std::filesystem::rename(NewFile("new.mdb", "CREATE TABLE Replaced (ID INTEGER)"), file);
    db = OpenDatabase(file);
    EXPECT_EQ(TableNames(db), Texts { "Replaced" });
}

}
