#include "platform/database/database_names.h"

#include "platform/database/database_connection.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <cstdlib>

namespace platform {

std::string Quote(const std::string& identifier)
{
    std::string quoted = "\"";
    for (char ch : identifier)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

static constexpr long kSized = -1; // the size is written in parentheses after the name

struct TypeName {
    DaoType type;
    const char* name;
    long size;
};

static constexpr TypeName kTypeNames[] = {
    { kDbBoolean, "BOOLEAN", 1 },
    { kDbByte, "TINYINT", 1 },
    { kDbInteger, "SMALLINT", 2 },
    { kDbLong, "INTEGER", 4 },
    { kDbCurrency, "CURRENCY", 8 },
    { kDbSingle, "FLOAT4", 4 },
    { kDbDouble, "DOUBLE", 8 },
    { kDbDate, "DATETIME", 8 },
    { kDbBinary, "BLOB", kSized },
    { kDbText, "VARCHAR", kSized },
    { kDbLongBinary, "LONGBLOB", 0 },
    { kDbMemo, "TEXT", 0 },
};

// Jet's own names and synonyms of its types, as other tools declare Jet columns. REAL is left
// out: in SQLite it names an eight-byte number.
struct JetTypeName {
    DaoType type;
    const char* name;
};

static constexpr JetTypeName kJetTypeNames[] = {
    { kDbBoolean, "BIT" },
    { kDbBoolean, "YESNO" },
    { kDbBoolean, "LOGICAL" },
    { kDbBoolean, "LOGICAL1" },
    { kDbByte, "BYTE" },
    { kDbByte, "INTEGER1" },
    { kDbInteger, "SHORT" },
    { kDbInteger, "INTEGER2" },
    { kDbLong, "LONG" },
    { kDbLong, "INTEGER4" },
    { kDbLong, "COUNTER" },
    { kDbLong, "AUTOINCREMENT" },
    { kDbCurrency, "MONEY" },
    { kDbSingle, "SINGLE" },
    { kDbSingle, "IEEESINGLE" },
    { kDbDouble, "FLOAT" },
    { kDbDouble, "FLOAT8" },
    { kDbDouble, "IEEEDOUBLE" },
    { kDbDouble, "NUMBER" },
    { kDbDouble, "NUMERIC" },
    { kDbDouble, "DECIMAL" },
    { kDbText, "CHAR" },
    { kDbText, "VARCHAR" },
    { kDbText, "CHARACTER" },
    { kDbText, "ALPHANUMERIC" },
    { kDbText, "STRING" },
    { kDbText, "NCHAR" },
    { kDbText, "NVARCHAR" },
    { kDbBinary, "BINARY" },
    { kDbBinary, "VARBINARY" },
    { kDbMemo, "MEMO" },
    { kDbMemo, "LONGTEXT" },
    { kDbMemo, "LONGCHAR" },
    { kDbMemo, "NOTE" },
    { kDbMemo, "NTEXT" },
    { kDbLongBinary, "LONGBINARY" },
    { kDbLongBinary, "OLEOBJECT" },
    { kDbLongBinary, "GENERAL" },
    { kDbLongBinary, "IMAGE" },
};

// Jet's size of a Text or Binary column declared without one.
static constexpr long kJetDefaultSize = 255;

static const TypeName* TypeNameOf(int type)
{
    for (const TypeName& entry : kTypeNames)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

std::string DeclaredType(const FieldDef& field)
{
    if (field.type == kDbUntyped)
        return {};
    const TypeName* entry = TypeNameOf(field.type);
    if (!entry)
        Raise(3259, kFieldSource,
            "Invalid field data type " + std::to_string(field.type) + " for field '" + field.name
                + "'.");
    std::string declared = entry->name;
    if (entry->size == kSized)
        declared.append("(").append(std::to_string(field.size)).append(")");
    // Jet compares text without regard to case.
    if (field.type == kDbText || field.type == kDbMemo)
        declared += " COLLATE NOCASE";
    return declared;
}

FieldDef FieldOf(std::string name, const std::string& declared)
{
    std::string upper = AsciiUpperCase(declared);
    size_t open = upper.find('(');
    std::string base = upper.substr(0, open);
    base.erase(base.find_last_not_of(' ') + 1);
    bool sized = open != std::string::npos;
    long size = sized ? std::atol(upper.c_str() + open + 1) : 0;
    for (const TypeName& entry : kTypeNames)
        if (base == entry.name && sized == (entry.size == kSized))
            return { std::move(name), entry.type, sized ? size : entry.size };
    for (const JetTypeName& entry : kJetTypeNames)
        if (base == entry.name) {
            bool withSize = entry.type == kDbText || entry.type == kDbBinary;
            return { std::move(name), entry.type,
                withSize ? (sized ? size : kJetDefaultSize) : TypeNameOf(entry.type)->size };
        }
    // Declared by another tool: the DAO type its words suggest, as SQLite reads them.
    auto has = [&](const char* part) { return base.find(part) != std::string::npos; };
    DaoType type = has("INT")                       ? kDbLong
        : has("CHAR") || has("CLOB") || has("TEXT") ? (sized ? kDbText : kDbMemo)
        : has("BLOB")                               ? kDbLongBinary
        : has("REAL") || has("FLOA") || has("DOUB") ? kDbDouble
        : has("BOOL")                               ? kDbBoolean
        : has("DATE") || has("TIME")                ? kDbDate
                                                    : kDbUntyped;
    long fixed = type == kDbUntyped ? 0 : TypeNameOf(type)->size;
    return { std::move(name), type, type == kDbText ? size : fixed };
}

}
