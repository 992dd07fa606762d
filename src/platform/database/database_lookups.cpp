#include "platform/database/database_lookups.h"

#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"

#include <algorithm>
#include <cctype>

namespace platform {

static constexpr const char* kIndexPrefix = "lobix!lookup";

// The columns one look-up compares on one table, as an index lists them and as a key that
// names the kind of look-up.
struct IndexColumns {
    std::string table;
    std::string key;
    std::string list;
    std::vector<std::string> names;
};

static std::optional<std::string> TableOf(
    Connection& c, const Lookup& lookup, const std::string& ownTable)
{
    if (lookup.table.empty())
        return ownTable.empty() ? std::nullopt : std::optional(ownTable);
    return StoredTableName(c, lookup.table);
}

static bool HasColumn(Connection& c, const std::string& table, const std::string& column)
{
    return sqlite3_table_column_metadata(c.db, "main", table.c_str(), column.c_str(), nullptr,
               nullptr, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

// A text value compares without regard to case, so its column is indexed so; a number compares
// by the column's own collation.
static void AddColumn(IndexColumns& index, const Lookup& lookup)
{
    for (const std::string& name : index.names)
        if (SameName(name, lookup.column))
            return;
    bool text = std::holds_alternative<std::string>(lookup.value);
    std::string column
        = Quote(lookup.column) + (text ? std::string(" COLLATE ") + kJetTextCollation : "");
    index.list += (index.names.empty() ? "" : ", ") + column;
    for (char ch : column)
        index.key += char(std::tolower(static_cast<unsigned char>(ch)));
    index.key += ',';
    index.names.push_back(lookup.column);
}

// The look-ups' columns grouped by table; columns of no stored table are left out.
static std::vector<IndexColumns> ColumnsByTable(
    Connection& c, const std::string& ownTable, const std::vector<Lookup>& lookups)
{
    std::vector<IndexColumns> tables;
    for (const Lookup& lookup : lookups) {
        std::optional<std::string> table = TableOf(c, lookup, ownTable);
        if (!table || !HasColumn(c, *table, lookup.column))
            continue;
        auto index = std::find_if(tables.begin(), tables.end(),
            [&](const IndexColumns& each) { return each.table == *table; });
        if (index == tables.end())
            index = tables.insert(tables.end(), { *table, Quote(*table) + ":", {}, {} });
        AddColumn(*index, lookup);
    }
    return tables;
}

// Makes the index in the open transaction. Where none is open, one is started for it that does
// not wait for another program's lock; it is rolled back again should SQLite refuse.
static void MakeIndex(Connection& c, LookupIndex& index, const IndexColumns& columns)
{
    std::string name = kIndexPrefix + std::to_string(++c.lookupIndexesMade);
    std::string sql
        = "CREATE INDEX " + Quote(name) + " ON " + Quote(columns.table) + " (" + columns.list + ")";
    bool starting = sqlite3_get_autocommit(c.db);
    if (starting)
        sqlite3_busy_timeout(c.db, 0);
    bool made = (!starting || sqlite3_exec(c.db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
        && sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (starting)
        sqlite3_busy_timeout(c.db, kBusyTimeoutMs);
    if (made) {
        index.name = name;
        return;
    }
    index.refused = true;
    if (!sqlite3_get_autocommit(c.db)) {
        if (starting)
            sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        return;
    }
    if (!starting && c.changed) {
        // SQLite rolled back the whole transaction, with the changes it held.
        c.changed = false;
        ForgetLookupIndexes(c);
        RaiseSqlite(c, kDatabaseSource,
            "Could not store the changes to '" + c.path + "', they are discarded");
    }
}

void NoteLookups(
    Connection& c, const std::string& ownTable, const std::vector<Lookup>& lookups, bool scanned)
{
    if (!scanned || lookups.empty())
        return;
    for (const IndexColumns& columns : ColumnsByTable(c, ownTable, lookups)) {
        LookupIndex& index = c.lookups[columns.key];
        if (index.name.empty() && !index.refused && ++index.scans >= 2)
            MakeIndex(c, index, columns);
    }
}

bool DropLookupIndexes(Connection& c)
{
    for (auto& entry : c.lookups) {
        LookupIndex& index = entry.second;
        if (index.name.empty())
            continue;
        std::string sql = "DROP INDEX " + Quote(index.name);
        if (sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        index.name.clear();
    }
    return true;
}

void ForgetLookupIndexes(Connection& c)
{
    for (auto& entry : c.lookups) {
        entry.second.name.clear();
        entry.second.refused = false;
    }
}

}
