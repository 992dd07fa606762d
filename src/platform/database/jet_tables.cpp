// Jet tables read through mdbtools: their columns with the nearest DAO types, their rows with
// their Nulls, texts as UTF-8.
#include "platform/database/jet_tables.h"

#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"

#include <mdbtools.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

struct CloseMdb {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct FreeTableDef {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
struct FreeText {
    void operator()(char* text) const { g_free(text); }
};
using MdbText = std::unique_ptr<char, FreeText>;
struct FreeBytes {
    void operator()(void* bytes) const { std::free(bytes); }
};

// libmdb takes its text encodings from the environment (MDBICONV, MDB_JET3_CHARSET) when it
// opens a file. The tool's texts are UTF-8 whatever that says, and a Jet 3 file's texts are in the
// code page its header names (Windows-1252 where it names none that is known).
static void DecodeAsUtf8(MdbHandle* mdb)
{
    std::string from = "UCS-2LE";
    if (IS_JET3(mdb)) {
        from = "CP" + std::to_string(mdb->f->code_page);
        iconv_t probe = iconv_open("UTF-8", from.c_str());
        if (probe == iconv_t(-1))
            from = "CP1252";
        else
            iconv_close(probe);
    }
    mdb_iconv_close(mdb);
    mdb->iconv_in = iconv_open("UTF-8", from.c_str());
    mdb->iconv_out = iconv_open(from.c_str(), "UTF-8");
    if (mdb->iconv_in == iconv_t(-1) || mdb->iconv_out == iconv_t(-1))
        JetUnreadable("its texts cannot be decoded from " + from);
}

struct TypeMapping {
    int jet;
    DaoType dao;
};

static constexpr TypeMapping kTypeMappings[] = {
    { MDB_BOOL, kDbBoolean },
    { MDB_BYTE, kDbByte },
    { MDB_INT, kDbInteger },
    { MDB_LONGINT, kDbLong },
    { MDB_MONEY, kDbCurrency },
    { MDB_FLOAT, kDbSingle },
    { MDB_DOUBLE, kDbDouble },
    { MDB_DATETIME, kDbDate },
    { MDB_BINARY, kDbBinary },
    { MDB_TEXT, kDbText },
    { MDB_OLE, kDbLongBinary },
    { MDB_MEMO, kDbMemo },
    { MDB_REPID, kDbText }, // a replication ID, kept as its text "{...}"
    { MDB_NUMERIC, kDbDouble },
    { MDB_COMPLEX, kDbLong },
};

static constexpr long kReplicationIdCharacters = 38;

static FieldDef FieldOfColumn(MdbHandle* mdb, const MdbColumn& column, const std::string& table)
{
    for (const TypeMapping& mapping : kTypeMappings) {
        if (mapping.jet != column.col_type)
            continue;
        // Jet 4 gives a text column's size in bytes of UCS-2.
        long size = column.col_type == MDB_TEXT ? column.col_size / (IS_JET3(mdb) ? 1 : 2)
            : column.col_type == MDB_REPID      ? kReplicationIdCharacters
            : column.col_type == MDB_BINARY     ? column.col_size
                                                : 0;
        return { column.name, mapping.dao, size };
    }
    JetUnreadable("column '" + std::string(column.name) + "' of table '" + table
        + "' has a type it cannot read (" + std::to_string(column.col_type) + ")");
}

// An exact decimal text of libmdb's as the nearest double, whatever the locale.
static Value Decimal(MdbText text)
{
    double value = 0;
    const char* end = text.get() + std::strlen(text.get());
    auto [stop, error] = std::from_chars(text.get(), end, value);
    if (error != std::errc() || stop != end)
        JetUnreadable(std::string("a number reads as '") + text.get() + "'");
    return value;
}

// libmdb cuts a text at its bind size; a text that nearly fills it is read again with more room.
static std::string LongText(MdbHandle* mdb, const MdbColumn& column)
{
    constexpr size_t kLongestCharacter = 4; // bytes of UTF-8
    constexpr size_t kMostBytes = size_t(1) << 30;
    for (;;) {
        MdbText text(mdb_col_to_string(
            mdb, mdb->pg_buf, column.cur_value_start, column.col_type, column.cur_value_len));
        size_t length = std::strlen(text.get());
        if (length + kLongestCharacter < mdb->bind_size)
            return std::string(text.get(), length);
        if (mdb->bind_size >= kMostBytes)
            JetUnreadable("a text of column '" + std::string(column.name) + "' is too long");
        mdb_set_bind_size(mdb, mdb->bind_size * 4);
    }
}

// The value of the current row's column; libmdb has read the row's page into its buffer.
static Value ValueOf(MdbHandle* mdb, MdbColumn& column, bool null)
{
    // Jet keeps a Boolean in the row's Null flags: a set flag is True.
    if (column.col_type == MDB_BOOL)
        return !null;
    if (null)
        return Null {};
    unsigned char* page = mdb->pg_buf;
    int start = column.cur_value_start;
    switch (column.col_type) {
    case MDB_BYTE:
        return static_cast<long long>(mdb_get_byte(page, start));
    case MDB_INT:
        return static_cast<long long>(static_cast<int16_t>(mdb_get_int16(page, start)));
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return static_cast<long long>(static_cast<int32_t>(mdb_get_int32(page, start)));
    case MDB_FLOAT:
        return static_cast<double>(mdb_get_single(page, start));
    case MDB_DOUBLE:
    case MDB_DATETIME: // days since 1899-12-30, as the engine keeps dates
        return mdb_get_double(page, start);
    case MDB_MONEY:
        return Decimal(MdbText(mdb_money_to_string(mdb, start)));
    case MDB_NUMERIC:
        return Decimal(
            MdbText(mdb_numeric_to_string(mdb, start, column.col_scale, column.col_prec)));
    case MDB_BINARY:
        return std::string(reinterpret_cast<char*>(page) + start, column.cur_value_len);
    case MDB_OLE: {
        size_t size = 0;
        std::unique_ptr<void, FreeBytes> bytes(mdb_ole_read_full(mdb, &column, &size));
        return std::string(static_cast<char*>(bytes.get()), size);
    }
    default:
        return LongText(mdb, column);
    }
}

// Copies one table: its columns in their order, then every row in one statement run per row.
static void CopyTable(MdbHandle* mdb, MdbCatalogEntry* entry, Connection& c)
{
    std::string name = entry->object_name;
    std::unique_ptr<MdbTableDef, FreeTableDef> table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()))
        JetUnreadable("the definition of table '" + name + "' cannot be read");
    unsigned count = table->num_cols;
    std::vector<MdbColumn*> columns;
    std::vector<FieldDef> fields;
    // An OLE value is read through a buffer bound to its column, the size of a page.
    std::vector<std::vector<char>> oleBuffers(count);
    std::string create = "CREATE TABLE " + Quote(name) + " (", placeholders;
    for (unsigned i = 0; i < count; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.push_back(column);
        fields.push_back(FieldOfColumn(mdb, *column, name));
        create += (i ? ", " : "") + Quote(fields.back().name) + " " + DeclaredType(fields.back());
        placeholders += i ? ", ?" : "?";
        if (column->col_type == MDB_OLE) {
            oleBuffers[i].resize(MDB_PGSIZE);
            mdb_bind_column(table.get(), int(i) + 1, oleBuffers[i].data(), nullptr);
        }
    }
    if (count == 0)
        JetUnreadable("table '" + name + "' has no columns");
    Execute(c.db, create + ")", kDatabaseSource);
    Statement statement
        = TryPrepare(c.db, "INSERT INTO " + Quote(name) + " VALUES (" + placeholders + ")");
    if (!statement)
        RaiseSqlite(c.db, kDatabaseSource, "Cannot store the rows of table '" + name + "'");

    // The fetch does not tell a Null text from an empty one: the row just fetched is taken
    // apart once more for its Null flags. A row's offset keeps flags above its low 13 bits.
    constexpr int kRowOffsetMask = 0x1fff;
    std::vector<MdbField> cracked(count);
    std::vector<bool> nulls(count);
    unsigned rows = 0;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0
            || mdb_crack_row(table.get(), start & kRowOffsetMask, size, cracked.data()) < 0)
            JetUnreadable("a row of table '" + name + "' cannot be read");
        for (const MdbField& field : cracked)
            nulls[field.colnum] = field.is_null;
        for (unsigned i = 0; i < count; ++i)
            Bind(statement.get(), int(i) + 1, ValueOf(mdb, *columns[i], nulls[i]), fields[i].type);
        Step(statement.get(), kDatabaseSource);
        sqlite3_reset(statement.get());
        ++rows;
    }
    if (rows != table->num_rows)
        JetUnreadable("table '" + name + "' gives " + std::to_string(rows) + " of its "
            + std::to_string(table->num_rows) + " rows");
}

void CopyJetTables(const std::string& jetPath, long long jetSize, Connection& c)
{
    std::unique_ptr<MdbHandle, CloseMdb> mdb(mdb_open(jetPath.c_str(), MDB_NOFLAGS));
    if (!mdb)
        JetUnreadable("mdbtools cannot read its format");
    // Jet writes whole pages; libmdb reads a page cut short as if it were whole.
    if (jetSize % mdb->fmt->pg_size != 0)
        JetUnreadable("it ends inside a page, " + std::to_string(jetSize) + " bytes long");
    DecodeAsUtf8(mdb.get());

    Execute(c.db, "BEGIN", kDatabaseSource);
    GPtrArray* catalog = mdb_read_catalog(mdb.get(), MDB_TABLE);
    if (!catalog)
        JetUnreadable("its list of tables cannot be read");
    for (unsigned i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (mdb_is_user_table(entry))
            CopyTable(mdb.get(), entry, c);
    }
    Execute(c.db, "COMMIT", kDatabaseSource);
}

}
