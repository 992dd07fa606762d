#include "platform/database/recordset_reading.h"

#include "platform/database/database_lookups.h"
#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"
#include "platform/database/jet_sql.h"
#include "platform/system/failure.h"

#include <cctype>

namespace platform {

static bool IsQuery(const std::string& source)
{
    size_t start = source.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || !SameName(source.substr(start, 6), "SELECT"))
        return false;
    char next = start + 6 < source.size() ? source[start + 6] : ' ';
    return !std::isalnum(static_cast<unsigned char>(next)) && next != '_';
}

// The query with the row id put first, so that rows can be found again to store changes.
static std::string KeyedQuery(const std::string& query)
{
    size_t afterSelect = query.find_first_not_of(" \t\r\n") + 6;
    return query.substr(0, afterSelect) + " _rowid_," + query.substr(afterSelect);
}

// True when the first result column is a table's row id, not a column merely named so.
static bool IsRowKey(Connection& c, sqlite3_stmt* statement)
{
    const char* table = sqlite3_column_table_name(statement, 0);
    const char* origin = sqlite3_column_origin_name(statement, 0);
    const char* type = nullptr;
    int primaryKey = 0;
    return table && origin
        && sqlite3_table_column_metadata(c.db, sqlite3_column_database_name(statement, 0), table,
               origin, &type, nullptr, nullptr, &primaryKey, nullptr)
        == SQLITE_OK
        && primaryKey && type && SameName(type, "INTEGER");
}

// Learns the columns from the compiled query. Columns of the keyed table can be stored; a set
// without any is read-only.
static void Describe(RecordsetState& state, sqlite3_stmt* statement)
{
    const char* keyTable = state.keyed ? sqlite3_column_table_name(statement, 0) : nullptr;
    std::string table = keyTable ? keyTable : "";
    state.table.clear();
    state.columns.clear();
    for (int i = state.keyed ? 1 : 0; i < sqlite3_column_count(statement); ++i) {
        const char* from = sqlite3_column_table_name(statement, i);
        const char* origin = sqlite3_column_origin_name(statement, i);
        const char* declared = sqlite3_column_decltype(statement, i);
        bool stored = !table.empty() && from && origin && table == from;
        if (stored)
            state.table = table;
        state.columns.push_back({ sqlite3_column_name(statement, i), stored ? origin : "",
            declared ? FieldOf({}, declared).type : 0 });
    }
}

// Compiles the record set's query, keyed where its rows have row ids; where the keyed form does
// not compile (a join, a view, no row ids) the plain query gives a read-only set.
template <typename Compile>
static sqlite3_stmt* CompileRecords(
    RecordsetState& state, const std::string& query, Compile compile)
{
    Connection& c = *state.connection;
    std::string keyedQuery = KeyedQuery(query);
    sqlite3_stmt* statement = compile(keyedQuery);
    state.keyed = statement && IsRowKey(c, statement);
    if (!state.keyed) {
        statement = compile(query);
        if (!statement)
            RaiseSqlite(c, kDatabaseSource, "Cannot run " + query);
    }
    state.query = state.keyed ? keyedQuery : query;
    Describe(state, statement);
    return statement;
}

static void Load(RecordsetState& state, sqlite3_stmt* statement)
{
    Running running { statement };
    int first = state.keyed ? 1 : 0;
    state.rows.clear();
    while (Step(*state.connection, statement, kRecordsetSource)) {
        Row row { state.keyed ? sqlite3_column_int64(statement, 0) : 0, {} };
        row.values.reserve(state.columns.size());
        for (size_t i = 0; i < state.columns.size(); ++i)
            row.values.push_back(ReadValue(statement, int(i) + first, state.columns[i].type));
        state.rows.push_back(std::move(row));
    }
    state.loaded = true;
    state.count = long(state.rows.size());
}

static long CountRows(Connection& c, const std::string& table)
{
    sqlite3_stmt* statement = Cached(c, "SELECT count(*) FROM " + Quote(table), kDatabaseSource);
    Running running { statement };
    Step(c, statement, kDatabaseSource);
    return long(sqlite3_column_int64(statement, 0));
}

// Reads the rows of a query. A query that looks up values keeps its compiled form for the next
// values, and tells the look-up indexes whether it had to scan a whole table.
static void LoadQuery(RecordsetState& state, const TranslatedSql& query)
{
    Connection& c = *state.connection;
    Statement owned;
    sqlite3_stmt* statement = CompileRecords(state, query.sql, [&](const std::string& sql) {
        if (!query.lookups.empty())
            return TryCached(c, sql);
        owned = TryPrepare(c, sql);
        return owned.get();
    });
    for (size_t i = 0; i < query.lookups.size(); ++i)
        Bind(statement, int(i) + 1, query.lookups[i].value, 0);
    Load(state, statement);
    bool scanned = sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1) > 0;
    NoteLookups(c, state.table, query.lookups, scanned);
}

void OpenRows(RecordsetState& state, const std::string& source)
{
    Connection& c = *state.connection;
    if (IsQuery(source)) {
        LoadQuery(state, TranslateJetSql(source));
    } else {
        std::optional<std::string> table = StoredTableName(c, source);
        if (!table)
            Raise(3078, kDatabaseSource, "Cannot find the input table or query '" + source + "'.");
        CompileRecords(state, "SELECT * FROM " + Quote(*table),
            [&](const std::string& sql) { return TryCached(c, sql); });
        state.count = CountRows(c, *table);
    }
}

void LoadRows(RecordsetState& state)
{
    Load(state, Cached(*state.connection, state.query, kRecordsetSource));
}

}
