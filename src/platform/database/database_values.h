// The plain values of the database layer: DAO field types, column values and table definitions.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace platform {

// DAO field type codes. Each is kept in the column's declared type: Boolean "BOOLEAN", Byte
// "TINYINT", Integer "SMALLINT", Long "INTEGER", Currency "CURRENCY", Single "FLOAT4", Double
// "DOUBLE", Date "DATETIME", Binary "BLOB(size)", Text "VARCHAR(size)", LongBinary "LONGBLOB",
// Memo "TEXT"; Text and Memo columns compare with COLLATE NOCASE. Jet's type names and synonyms
// (MEMO, LONG, SHORT, BIT, YESNO, CURRENCY, MONEY, CHAR without a size for Text 255, ...) read as
// the Jet types they name; other declared types as the words in them suggest: "INT" Long, "CHAR"
// Text n or Memo, "CLOB" or "TEXT" Memo, "BLOB" LongBinary, "REAL", "FLOA" or "DOUB" Double,
// "BOOL" Boolean, "DATE" or "TIME" Date. A column declared without a type, or with a name none of
// these knows, is Untyped: it keeps each value as it comes, texts as texts, numbers as numbers.
enum DaoType : int {
    kDbUntyped = 0,
    kDbBoolean = 1,
    kDbByte = 2,
    kDbInteger = 3,
    kDbLong = 4,
    kDbCurrency = 5,
    kDbSingle = 6,
    kDbDouble = 7,
    kDbDate = 8,
    kDbBinary = 9,
    kDbText = 10,
    kDbLongBinary = 11,
    kDbMemo = 12,
};

using Null = std::monostate;

// A column value. Boolean columns read as bool (stored as 1 or 0); Byte, Integer and Long as
// integers; Currency, Single, Double and Date (a day count) as doubles; Text and Memo as text;
// binary columns as their bytes in a text. A value that does not fit its column reads as stored.
using Value = std::variant<Null, long long, double, bool, std::string>;

// A column: name, DAO type and size (maximum characters for Text and Binary; fixed for the
// other types, where a size given to AppendTable is ignored).
struct FieldDef {
    std::string name;
    DaoType type = kDbText;
    long size = 0;
    bool operator==(const FieldDef&) const = default;
};

// A table definition not yet stored.
struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
};

}
