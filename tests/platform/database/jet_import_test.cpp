// Jet files brought from Windows, read through the engine layer into a copy with every table,
// column and row, and the name their original is kept under when a new file takes their place.
// Expected values are those mdb-export prints for the same rows.
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

class JetImportTest : public testing::Test {
protected:
    // The fixture as Lobix.mdb.
    std::string Place(const char* fixture)
    {
        std::ofstream(path, std::ios::binary) << testing_support::JetFile(fixture);
        return path;
    }

    // The values of every column of the rows the query gives, row after row.
    static Values Read(Database& db, const std::string& query)
    {
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

    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("Lobix.mdb")).toStdString();
};

}

// Jet 3 and Jet 4: every table in the file's order, columns with their types and sizes, every
// row, Nulls, texts decoded from the file's code page whatever libmdb's environment says, dates
// before 1900 and in the year 9999; the file itself is left as it was. Its original is kept
// under the first free name, or not again where the same bytes are kept already.
TEST_F(JetImportTest, JetFilesAreReadWithEveryTableAndRow)
{
    std::string original = Bytes(Place("nwind.mdb"));
    setenv("MDBICONV", "ISO-8859-1", 1);
    setenv("MDB_JET3_CHARSET", "KOI8-R", 1);
    Database db = ImportJetDatabase(path);
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
        EXPECT_EQ(Read(db, query), expected) << query;
    EXPECT_TRUE(Bytes(path) == original);
    EXPECT_EQ(KeptJetName(path), path + ".jet");

    Database dates = ImportJetDatabase(Place("DateTestDatabase.mdb"));
    EXPECT_EQ(TableFields(dates, "DateTest")[5], (FieldDef { "ShortTextCol", kDbText, 255 }));
    EXPECT_EQ(Read(dates,
                  "SELECT datetime(DateTimeCol + julianday('1899-12-30')), LongTextCol"
                  " FROM DateTest WHERE IDCol IN (2, 3) ORDER BY IDCol"),
        (Values { "9999-01-01 00:00:00", "Year 9999", "1898-01-01 00:00:00", "Pre-1900 years" }));
    std::ofstream(path + ".jet", std::ios::binary) << original;
    EXPECT_EQ(KeptJetName(path), path + ".2.jet");
    std::ofstream(path + ".2.jet", std::ios::binary) << Bytes(path);
    EXPECT_EQ(KeptJetName(path), "");
}

// A file that libmdb cannot read to its end raises 3343 naming what failed, and leaves every file
// as it was.
TEST_F(JetImportTest, DamagedFileIsReportedAndLeftAsItWas)
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
        EXPECT_EQ(Files(), Names { "Lobix.mdb" }) << size;
    }
}
