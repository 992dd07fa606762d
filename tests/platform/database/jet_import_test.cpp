// Jet files brought from Windows, opened through the engine layer: imported once with every
// table, column and row, the original kept beside the new file; a damaged one left as it was.
// Expected values are those mdb-export prints for the same rows.
#include "platform/database/database.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;

namespace {

using Values = std::vector<Value>;
using Names = std::vector<std::string>;

std::string Bytes(const std::string& path)
{
    std::string content;
    ReadWholeFile(path, content);
    return content;
}

const std::string kFixtures = std::string(LOBIX_SOURCE_DIR) + "/tests/data/jet/";

class JetImportTest : public testing::Test {
protected:
    void TearDown() override { ReleaseDatabaseFiles(); }

    // The fixture as Lobix.mdb, with a last-write time of its own.
    std::string Place(const char* fixture)
    {
        ReleaseDatabaseFiles();
        ReplaceFileContent(path, Bytes(kFixtures + fixture));
        SetLastWriteTime(path, kWritten);
        return path;
    }

    // The values of every column of the rows the query gives, row after row.
    Values Read(const std::string& query)
    {
        Database db = OpenDatabase(path);
        Values values;
        for (Recordset records = OpenRecordset(db, query); !IsEof(records); MoveNext(records))
            for (int i = 0; i < FieldCount(records); ++i)
                values.push_back(GetValue(records, i));
        return values;
    }

    Names Files() const
    {
        Names names;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            names.push_back(name.toStdString());
        return names;
    }

    static constexpr long long kWritten = 1'000'000'000'123'456'789LL;
    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("Lobix.mdb")).toStdString();
};

}

// Jet 3 and Jet 4: every table in the file's order, columns with their types and sizes, every
// row, Nulls, texts decoded from the file's code page whatever libmdb's environment says, dates
// before 1900 and in the year 9999. The original stays beside the new file with its time;
// opening again imports nothing; the same original brought in again is not kept twice, a
// different one is kept under a name of its own.
TEST_F(JetImportTest, JetFilesAreImportedOnceWithEveryTableAndRow)
{
    Place("nwind.mdb");
    setenv("MDBICONV", "ISO-8859-1", 1);
    setenv("MDB_JET3_CHARSET", "KOI8-R", 1);
    Database db = OpenDatabase(path);
    unsetenv("MDBICONV");
    unsetenv("MDB_JET3_CHARSET");
    EXPECT_EQ(TableNames(db),
        (Names { "Order Details", "Orders", "Products", "Shippers", "Categories", "Customers",
            "Employees", "Suppliers", "Umsätze" }));
    EXPECT_EQ(TableFields(db, "Order Details"),
        (std::vector<FieldDef> { { "OrderID", kDbLong, 4 }, { "ProductID", kDbLong, 4 },
            { "UnitPrice", kDbCurrency, 8 }, { "Quantity", kDbInteger, 2 },
            { "Discount", kDbSingle, 4 } }));
    EXPECT_EQ(TableFields(db, "Categories"),
        (std::vector<FieldDef> { { "CategoryID", kDbLong, 4 }, { "CategoryName", kDbText, 15 },
            { "Description", kDbMemo, 0 }, { "Picture", kDbLongBinary, 0 } }));
    EXPECT_EQ(TableFields(db, "Orders")[3], (FieldDef { "OrderDate", kDbDate, 8 }));
    Close(db);
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
        EXPECT_EQ(Read(query), expected) << query;
    EXPECT_EQ(LastWriteTime(path + ".jet"), kWritten);
    EXPECT_EQ(LastWriteTime(path), kWritten);
    ReleaseDatabaseFiles();
    EXPECT_EQ(Read("SELECT COUNT(*) FROM Shippers"), Values { 3LL });
    Place("nwind.mdb");
    EXPECT_EQ(Read("SELECT COUNT(*) FROM Shippers"), Values { 3LL });

    db = OpenDatabase(Place("DateTestDatabase.mdb"));
    EXPECT_EQ(TableFields(db, "DateTest")[5], (FieldDef { "ShortTextCol", kDbText, 255 }));
    Close(db);
    EXPECT_EQ(Read("SELECT datetime(DateTimeCol + julianday('1899-12-30')), LongTextCol"
                   " FROM DateTest WHERE IDCol IN (2, 3) ORDER BY IDCol"),
        (Values { "9999-01-01 00:00:00", "Year 9999", "1898-01-01 00:00:00", "Pre-1900 years" }));
    EXPECT_EQ(Files(), (Names { "Lobix.mdb", "Lobix.mdb.2.jet", "Lobix.mdb.jet" }));
    EXPECT_EQ(Bytes(path + ".2.jet"), Bytes(kFixtures + "DateTestDatabase.mdb"));
}

// A file that libmdb cannot read to its end raises 3343 naming what failed, and leaves every file
// as it was: no new database, no kept original, no temporary file.
TEST_F(JetImportTest, DamagedFileIsReportedAndLeftAsItWas)
{
    const std::pair<size_t, const char*> cuts[] = { { 1500000, "it ends inside a page" },
        { 732 * 2048, "the definition of table 'Umsätze'" } };
    for (const auto& [size, what] : cuts) {
        std::filesystem::resize_file(Place("nwind.mdb"), size);
        std::string before = Bytes(path), message = "no failure";
        try {
            OpenDatabase(path);
        } catch (const Failure& failure) {
            message = std::to_string(failure.number) + " " + failure.description;
        }
        EXPECT_EQ(message.find("3343 Cannot import the Jet database '" + path), 0u) << message;
        EXPECT_NE(message.find(what), std::string::npos) << message;
        EXPECT_TRUE(Bytes(path) == before) << size;
        EXPECT_EQ(Files(), Names { "Lobix.mdb" }) << size;
    }
}
