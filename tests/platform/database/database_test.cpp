// The engine layer as the preset-definition build uses it: layouts, the legacy Jet queries,
// record-set behaviour, failures, and the private copies that leave their files alone. SQLite
// used directly stands for other programs that make or read the files. Jet files brought from
// Windows are read into a copy with every table, column and row (the expected values are those
// mdb-export prints), and kept under a name of their own when a new file takes their place.
#include "platform/database/database.h"
#include "platform/database/jet_import.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"
#include "support/databases.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <tuple>

using namespace platform;
using testing_support::Rows;

namespace {

using Values = std::vector<Value>;
using Texts = std::vector<std::string>;
using Fields = std::vector<FieldDef>;

// The preset definitions as another tool declares and fills them, with an index of its own.
const std::string kPresetDefs
    = "CREATE TABLE PRESET_DEFS (ID INTEGER, part INTEGER,"
      " machine_type VARCHAR(50), var_name TEXT, abs_max REAL, pass BIT, page_name char);"
      " CREATE INDEX own_parts ON PRESET_DEFS (part);"
      " INSERT INTO PRESET_DEFS (ID, part, machine_type, var_name) VALUES"
      " (3, 8, 'm2', 'Tank \"A\" O''Neil'), (1, 7, 'M1', 'part'),"
      " (4, 8, 'M2', 'Mixer'), (2, 7, 'M1', '7'), (5, 7, 'm1', 'PART'),"
      " (6, 8, 'M2', 'var_name'), (7, 9, 'Füller', 'FÜLLER.NÖCKEN');"
      " UPDATE PRESET_DEFS SET pass = -1 WHERE ID = 1";

const std::string kIndexes = "SELECT name FROM sqlite_schema WHERE type = 'index'";
const Deadline kNow = std::chrono::steady_clock::now();

// A copy of the preset definitions, read by a name in other letter case than the file's.
class DatabaseTest : public testing::Test {
protected:
    // A file another program made with `sql`.
    std::string NewFile(const std::string& name, const std::string& sql)
    {
        std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream { path };
        testing_support::Sql(path, sql);
        return path;
    }

    QTemporaryDir dir;
    std::string file = NewFile("Lobix.mdb", kPresetDefs);
    Database db = ReadDatabase(dir.filePath(QStringLiteral("LOBIX.MDB")).toStdString(), kNow);
};

// A Jet fixture placed as Lobix.mdb, and the files beside it.
class JetImport : public testing::Test {
protected:
    std::string Place(const char* fixture)
    {
        std::ofstream(path, std::ios::binary) << testing_support::JetFile(fixture);
        return path;
    }

    Texts Files() const
    {
        Texts names;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            names.push_back(name.toStdString());
        return names;
    }

    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("Lobix.mdb")).toStdString();
};

std::string Bytes(const std::string& path)
{
    std::string content;
    ReadWholeFile(path, content);
    return content;
}

// The field's values (every field's, without one) of a table's or query's rows.
Values Column(Database& db, const std::string& source, const std::string& field = "ID")
{
    Values read;
    for (Recordset records = OpenRecordset(db, source); !IsEof(records); MoveNext(records))
        for (int i = 0; i < (field.empty() ? FieldCount(records) : 1); ++i)
            read.push_back(field.empty() ? GetValue(records, i) : GetValue(records, field));
    return read;
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

// Each DAO type not brought by a Jet import keeps its type and size through a stored table (a
// size given to a fixed-size type does not matter); tool-made columns and values read as their
// declared types mean, Jet's type names and SQLite's REAL included, also once renamed. A table
// is deleted by any case of its name, its look-up index with it, and found by its exact name.
TEST_F(DatabaseTest, LayoutsKeepTheirDaoTypes)
{
    AppendTable(
        db, { "S", { { "y\"", kDbByte, 9 }, { "d", kDbDouble, 9 }, { "n", kDbBinary, 16 } } });
    EXPECT_EQ(TableFields(db, "s"),
        (Fields { { "y\"", kDbByte, 1 }, { "d", kDbDouble, 8 }, { "n", kDbBinary, 16 } }));
    RenameField(db, "preset_defs", "PAGE_NAME", "category_id");
    EXPECT_EQ(TableFields(db, "PRESET_DEFS"),
        (Fields { { "ID", kDbLong, 4 }, { "part", kDbLong, 4 }, { "machine_type", kDbText, 50 },
            { "var_name", kDbMemo, 0 }, { "abs_max", kDbDouble, 8 }, { "pass", kDbBoolean, 1 },
            { "category_id", kDbText, 255 } }));
    EXPECT_EQ(Column(db, "SELECT var_name, pass FROM PRESET_DEFS WHERE ID = 1", ""),
        (Values { "part", true }));
    DeleteTable(db, "preset_DEFS");
    EXPECT_EQ(TableNames(db), Texts { "S" });
    EXPECT_FALSE(HasTable(db, "s"));
}

// Jet texts find rows by value whatever the case of any letter, also where a value equals a
// column's name, also through a look-up index; strings in either quote style, names in brackets,
// and operators SQLite reads otherwise mean what Jet means.
TEST_F(DatabaseTest, JetTextsMatchValuesWithoutRegardToCase)
{
    const std::pair<std::string, Values> cases[] = {
        { VarNameQuery("part"), { 1LL, 5LL } },
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
    for (bool indexed : { false, true }) {
        if (indexed)
            AddLookupIndex(db, "preset_defs", { "VAR_NAME", "machine_type" });
        for (const auto& [jet, ids] : cases)
            EXPECT_EQ(Column(db, jet), ids) << jet << (indexed ? " (indexed)" : "");
    }
}

// A query compiled once is opened with values in place of its "?", matched as Jet matches them,
// and its record sets store their changes, each in its own row.
TEST_F(DatabaseTest, PreparedQueriesTakeValues)
{
    Query query = PrepareQuery(db,
        "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE "
        "(((PRESET_DEFS.machine_type)=?) AND ((PRESET_DEFS.part)=?));");
    EXPECT_EQ(Failed([&] { OpenRecordset(query, { "m1" }); }), "3061 DAO.Database");
    for (const auto& [machine, part, renamed] :
        { std::tuple { "m1", 7LL, "first" }, { "M2", 8LL, "second" } }) {
        Recordset records = OpenRecordset(query, { machine, part });
        for (; !IsEof(records); MoveNext(records)) {
            Edit(records);
            SetValue(records, "var_name", renamed);
            Update(records);
        }
    }
    EXPECT_EQ(Column(db, "SELECT var_name FROM PRESET_DEFS ORDER BY ID", "var_name"),
        (Values { "first", "first", "second", "second", "first", "second", "FÜLLER.NÖCKEN" }));
    Recordset none = OpenRecordset(query, { Value {}, 7LL });
    EXPECT_TRUE(IsEof(none));
}

// A record set counts its rows, those it adds included; AddNew leaves the current row current,
// also past the end, and holds Null where nothing was set. Rows of a query keep their place while
// the column it selects by changes, as the renaming of variables walks them through their index.
TEST_F(DatabaseTest, RecordSetsCountAddAndEditRows)
{
    Recordset none = OpenRecordset(db, "SELECT ID FROM PRESET_DEFS WHERE part > 9");
    EXPECT_EQ(RecordCount(none), 0);
    Recordset records = OpenRecordset(db, "PRESET_DEFS");
    EXPECT_EQ(RecordCount(records), 7);
    AddNew(records);
    SetValue(records, 0, 8LL);
    EXPECT_EQ(GetValue(records, "PART"), Value {});
    Update(records);
    EXPECT_EQ(GetValue(records, "id"), Value { 3LL });
    EXPECT_EQ(RecordCount(records), 8);
    EXPECT_EQ(Column(db, VarNameQuery("part")), (Values { 1LL, 5LL }));
    Recordset walk = OpenRecordset(db, VarNameQuery("PART"));
    for (; !IsEof(walk); MoveNext(walk)) {
        Edit(walk);
        SetValue(walk, "var_name", "New");
        Update(walk);
        EXPECT_EQ(GetValue(walk, "VAR_NAME"), Value { "New" });
    }
    AddNew(walk);
    SetValue(walk, "ID", 9LL);
    SetValue(walk, "var_name", "NEW");
    Update(walk);
    EXPECT_TRUE(IsEof(walk));
    EXPECT_EQ(Column(db, VarNameQuery("new")), (Values { 1LL, 5LL, 9LL }));
}

// Each failed call raises the DAO number and source a caller's error handling expects; a Jet text
// that cannot be read whole is refused rather than cut short.
TEST_F(DatabaseTest, FailedCallsRaiseDaoNumbers)
{
    std::string notes = dir.filePath(QStringLiteral("notes.txt")).toStdString();
    std::ofstream { notes } << "not a database";
    Recordset empty = OpenRecordset(db, "SELECT * FROM PRESET_DEFS WHERE part > 9");
    Recordset computed = OpenRecordset(db, "SELECT count(*) AS n FROM PRESET_DEFS");
    Recordset closed;
    const TableDef existing { "preset_defs", { { "a", kDbLong } } },
        unknown { "U", { { "a", DaoType(15) } } },
        twice { "U", { { "a", kDbLong }, { "A", kDbText } } }, fieldless { "U", {} };
    auto query = [&](const std::string& sql) { return Failed([&] { OpenRecordset(db, sql); }); };
    const std::pair<const char*, std::string> cases[] = {
        { "3024 DAO.Database", Failed([&] { ReadDatabase(file + ".old", kNow); }) },
        { "3343 DAO.Database", Failed([&] { ReadDatabase(notes, kNow); }) },
        { "3343 DAO.Database", Failed([&] { LockDatabaseFile(notes, kNow); }) },
        { "3078 DAO.Database", query("Source_DEFS") },
        { "3061 DAO.Database", query("SELECT System From PRESET_DEFS") },
        { "3075 DAO.Database", query(VarNameQuery(R"(say "hi")")) },
        { "3075 DAO.Database", query("SELECT ID FROM PRESET_DEFS WHERE ID='open") },
        { "3075 DAO.Database", query("SELECT [ID FROM PRESET_DEFS") },
        { "3142 DAO.Database", query("SELECT ID FROM PRESET_DEFS; DROP TABLE PRESET_DEFS") },
        { "3265 DAO.TableDef", Failed([&] { TableFields(db, "X"); }) },
        { "3265 DAO.Field", Failed([&] { RenameField(db, "PRESET_DEFS", "a", "b"); }) },
        { "3191 DAO.Field", Failed([&] { RenameField(db, "PRESET_DEFS", "part", "VAR_NAME"); }) },
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
        { "3000 DAO.Database", Failed([&] { BeginTransaction(db), DatabaseImage(db); }) },
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].second, cases[i].first) << "case " << i + 1;
    EXPECT_EQ(TableNames(db), Texts { "PRESET_DEFS" });
}

// Copies change nothing on disk: a file read or locked keeps its bytes, and its lock keeps other
// programs' writes out until it is released. A copy's image is a whole database that another
// program reads, with the file's own indexes and none of the look-up indexes; a file in
// write-ahead-log mode is read with what its log holds.
TEST_F(DatabaseTest, CopiesLeaveTheirFilesAloneAndMakeWholeImages)
{
    std::string before, after;
    ReadWholeFile(file, before);
    {
        DatabaseLock lock = LockDatabaseFile(file, kNow);
        Database locked = CopyDatabase(lock);
        EXPECT_EQ(Failed([&] { LockDatabaseFile(file, kNow + std::chrono::milliseconds(50)); }),
            "3218 DAO.Database");
        EXPECT_THROW(testing_support::Sql(file, "DELETE FROM PRESET_DEFS"), std::runtime_error)
            << "another program may not write while the file is locked";
    }
    ReadWholeFile(file, after);
    EXPECT_TRUE(after == before);

    AppendTable(db, { "Added", { { "a", kDbLong } } });
    BeginTransaction(db);
    AddLookupIndex(db, "PRESET_DEFS", { "var_name" });
    EXPECT_EQ(Column(db, kIndexes, "name").size(), 2u);
    DropLookupIndexes(db);
    CommitTransaction(db);
    std::string image = DatabaseImage(db), copy = NewFile("copy.mdb", "");
    std::ofstream(copy, std::ios::binary) << image;
    EXPECT_EQ(Rows(copy, "SELECT name FROM sqlite_schema ORDER BY name"),
        (Texts { "Added", "PRESET_DEFS", "own_parts" }));

    std::string logged = NewFile("wal.mdb", "PRAGMA journal_mode=WAL; CREATE TABLE t (a INTEGER)");
    sqlite3* writer = nullptr;
    sqlite3_open(logged.c_str(), &writer);
    sqlite3_exec(writer, "INSERT INTO t VALUES (1), (2)", nullptr, nullptr, nullptr);
    Database fromLog = ReadDatabase(logged, kNow);
    EXPECT_EQ(Column(fromLog, "SELECT count(*) AS n FROM t", "n"), Values { 2LL });
    EXPECT_EQ(DatabaseImage(fromLog).substr(18, 2), std::string("\x01\x01"));
    sqlite3_close(writer);
}

}

// Jet 3 and Jet 4: every table in the file's order, columns with their types and sizes, every
// row, Nulls, texts decoded from the file's code page whatever libmdb's environment says, dates
// before 1900 and in the year 9999; the file itself is left as it was. Its original is kept
// under the first free name, or not again where the same bytes are kept already.
TEST_F(JetImport, JetFilesAreReadWithEveryTableAndRow)
{
    std::string original = Bytes(Place("nwind.mdb"));
    setenv("MDBICONV", "ISO-8859-1", 1);
    setenv("MDB_JET3_CHARSET", "KOI8-R", 1);
    Database db = ImportJetDatabase(path);
    unsetenv("MDBICONV");
    unsetenv("MDB_JET3_CHARSET");
    EXPECT_EQ(TableNames(db),
        (Texts { "Order Details", "Orders", "Products", "Shippers", "Categories", "Customers",
            "Employees", "Suppliers", "Umsätze" }));
    EXPECT_EQ(TableFields(db, "Order Details"),
        (std::vector<FieldDef> { { "OrderID", kDbLong, 4 }, { "ProductID", kDbLong, 4 },
            { "UnitPrice", kDbCurrency, 8 }, { "Quantity", kDbInteger, 2 },
            { "Discount", kDbSingle, 4 } }));
    EXPECT_EQ(TableFields(db, "Categories"),
        (std::vector<FieldDef> { { "CategoryID", kDbLong, 4 }, { "CategoryName", kDbText, 15 },
            { "Description", kDbMemo, 0 }, { "Picture", kDbLongBinary, 0 } }));
    EXPECT_EQ(TableFields(db, "Orders")[3], (FieldDef { "OrderDate", kDbDate, 8 }));
    const std::pair<const char*, Values> samples[] = {
        { "SELECT COUNT(*) FROM Umsätze UNION ALL"
          " SELECT COUNT(*) FROM Orders WHERE ShipRegion IS NULL",
            { 830LL, 507LL } },
        { "SELECT UnitPrice, Discount, Quantity FROM [Order Details] WHERE OrderID = 10250"
          " AND ProductID = 51",
            { 42.4, double(0.15f), 35LL } },
        { "SELECT Freight, datetime(OrderDate + julianday('1899-12-30')), ShipAddress, ShipRegion"
          " FROM Orders WHERE OrderID = 10330",
            { 12.75, "1994-11-16 00:00:00", "Carrera 52 con Ave. Bolívar #65-98 Llano Largo",
                "Lara" } },
        { "SELECT Discontinued, UnitPrice FROM Products WHERE ProductID IN (1, 5) ORDER BY 2",
            { false, 18.0, true, 21.35 } },
        { "SELECT hex(substr(Picture, 1, 16)) || hex(substr(Picture, -8)), length(Picture)"
          " FROM Categories WHERE CategoryID = 2",
            { "151C2F00020000000D000E001400210000000000E0AD05FE", 10746LL } },
    };
    for (const auto& [query, expected] : samples)
        EXPECT_EQ(Column(db, query, ""), expected) << query;
    EXPECT_TRUE(Bytes(path) == original);
    EXPECT_EQ(KeptJetName(path), path + ".jet");

    Database dates = ImportJetDatabase(Place("DateTestDatabase.mdb"));
    EXPECT_EQ(TableFields(dates, "DateTest")[5], (FieldDef { "ShortTextCol", kDbText, 255 }));
    EXPECT_EQ(Column(dates,
                  "SELECT datetime(DateTimeCol + julianday('1899-12-30')), LongTextCol"
                  " FROM DateTest WHERE IDCol IN (2, 3) ORDER BY IDCol",
                  ""),
        (Values { "9999-01-01 00:00:00", "Year 9999", "1898-01-01 00:00:00", "Pre-1900 years" }));
    std::ofstream(path + ".jet", std::ios::binary) << original;
    EXPECT_EQ(KeptJetName(path), path + ".2.jet");
    std::ofstream(path + ".2.jet", std::ios::binary) << Bytes(path);
    EXPECT_EQ(KeptJetName(path), "");
}

// A file that libmdb cannot read to its end raises 3343 naming what failed, and leaves every file
// as it was.
TEST_F(JetImport, DamagedFileIsReportedAndLeftAsItWas)
{
    const std::pair<size_t, const char*> cuts[] = { { 1500000, "it ends inside a page" },
        { 732 * 2048, "the definition of table 'Umsätze'" } };
    for (const auto& [size, what] : cuts) {
        std::filesystem::resize_file(Place("nwind.mdb"), size);
        std::string before = Bytes(path), message = "no failure";
        try {
            ImportJetDatabase(path);
        } catch (const Failure& failure) {
            message = std::to_string(failure.number) + " " + failure.description;
        }
        EXPECT_EQ(message.find("3343 Cannot import the Jet database '" + path), 0u) << message;
        EXPECT_NE(message.find(what), std::string::npos) << message;
        EXPECT_TRUE(Bytes(path) == before) << size;
        EXPECT_EQ(Files(), Texts { "Lobix.mdb" }) << size;
    }
}
