#include "platform/database/recordset_reading.h"

#include "platform/database/database_names.h"
#include "platform/database/jet_sql.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <algorithm>
#include <cctype>

namespace platform {

static bool IsQuery(const std::string& source)
{
    size_t start = source.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || !EqualsIgnoringAsciiCase(source.substr(start, 6), "SELECT"))
        return false;
    char next = start + 6 < source.size() ? source[start + 6] : ' ';
    return !std::isalnum(static_cast<unsigned char>(next)) && next != '_';
}

// The name under which a table's own row ids are read: the first of rowid, _rowid_ and oid
// that none of its columns takes; "" when its columns take all three.
static std::string RowIdName(Connection& c, const std::string& table)
{
    Statement names = Prepare(c.db, "SELECT name FROM pragma_table_info(?1)", kDatabaseSource);
    BindText(names.get(), 1, table);
    std::vector<std::string> columns;
    while (Step(names.get(), kDatabaseSource))
        columns.push_back(Text(names.get(), 0));
    for (const char* name : { "rowid", "_rowid_", "oid" })
        if (std::none_of(columns.begin(), columns.end(),
                [&](const std::string& column) { return EqualsIgnoringAsciiCase(column, name); }))
            return name;
    return {};
}

// The table every stored column of the statement comes from; "" when they come from several or
// none.
static std::string SingleTable(sqlite3_stmt* statement)
{
    std::string table;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const char* from = sqlite3_column_table_name(statement, i);
        if (!from)
            continue;
        if (!table.empty() && table != from)
            return {};
        table = from;
    }
    return table;
}

// Learns the columns from the compiled statement; those of the keyed table can be stored.
static void Describe(QueryState& query)
{
    sqlite3_stmt* statement = query.select.get();
    int first = query.table.empty() ? 0 : 1;
    query.columns.clear();
    for (int i = first; i < sqlite3_column_count(statement); ++i) {
        const char* from = sqlite3_column_table_name(statement, i);
        const char* origin = sqlite3_column_origin_name(statement, i);
        const char* declared = sqlite3_column_decltype(statement, i);
        bool stored = !query.table.empty() && from && origin && query.table == from;
        query.columns.push_back({ sqlite3_column_name(statement, i), stored ? origin : "",
            declared ? FieldOf({}, declared).type : 0 });
    }
}

// Compiles the query led by the row ids of `table`, read under `rowId`; empty when that does
// not compile (a join, a grouped or distinct query) or reads no row ids of the table.
static Statement KeyedSelect(
    Connection& c, const std::string& sql, const std::string& table, const std::string& rowId)
{
    size_t afterSelect = sql.find_first_not_of(" \t\r\n") + 6;
    Statement keyed = TryPrepare(
        c.db, sql.substr(0, afterSelect) + " " + rowId + "," + sql.substr(afterSelect));
    const char* from = keyed ? sqlite3_column_table_name(keyed.get(), 0) : nullptr;
    if (!from || table != from)
        return {};
    return keyed;
}

std::shared_ptr<QueryState> CompileRows(
    const std::shared_ptr<Connection>& connection, const std::string& source)
{
    Connection& c = *connection;
    auto query = std::make_shared<QueryState>();
    query->connection = connection;
    std::string sql, table;
    if (IsQuery(source)) {
        TranslatedSql translated = TranslateJetSql(source);
        sql = translated.sql;
        query->parameters = translated.parameters;
        query->select = Prepare(c.db, sql, kDatabaseSource);
        table = SingleTable(query->select.get());
    } else {
        std::optional<std::string> stored = StoredTableName(c, source);
        if (!stored)
            Raise(3078, kDatabaseSource, "Cannot find the input table or query '" + source + "'.");
        table = query->source = *stored;
        sql = "SELECT * FROM " + Quote(table);
    }
    query->readOnly = "its columns come from no one table";
    if (!table.empty()) {
        query->rowId = RowIdName(c, table);
        query->readOnly = "the columns of table '" + table
            + "' take every name of its row ids"
              " (rowid, _rowid_ and oid)";
    }
    if (!query->rowId.empty()) {
        if (Statement keyed = KeyedSelect(c, sql, table, query->rowId)) {
            query->select = std::move(keyed);
            query->table = table;
            query->readOnly.clear();
        } else {
            query->readOnly = "it reads no row ids of one table";
        }
    }
    if (!query->select)
        query->select = Prepare(c.db, sql, kDatabaseSource);
    Describe(*query);
    return query;
}

// The row the statement stands on, led by its row id where the set has one.
static Row RowOf(const QueryState& query, sqlite3_stmt* statement)
{
    int first = query.table.empty() ? 0 : 1;
    Row row { first ? sqlite3_column_int64(statement, 0) : 0, {} };
    row.values.reserve(query.columns.size());
    for (size_t i = 0; i < query.columns.size(); ++i)
        row.values.push_back(ReadValue(statement, int(i) + first, query.columns[i].type));
    return row;
}

void LoadRows(RecordsetState& state, const std::vector<Value>& values)
{
    QueryState& query = *state.query;
    sqlite3_stmt* statement = query.select.get();
    Running running { statement };
    for (size_t i = 0; i < values.size(); ++i)
        Bind(statement, int(i) + 1, values[i], 0);
    state.rows.clear();
    while (Step(statement, kRecordsetSource))
        state.rows.push_back(RowOf(query, statement));
    state.count = long(state.rows.size());
}

void WalkRows(RecordsetState& state, bool restart)
{
    sqlite3_stmt* statement = state.query->select.get();
    if (restart)
        sqlite3_reset(statement);
    state.walking = true;
    state.rows.clear();
    state.position = 0;
    if (Step(statement, kRecordsetSource))
        state.rows.push_back(RowOf(*state.query, statement));
    else
        sqlite3_reset(
            statement); // a finished walk holds nothing that would keep tables from change
}

long CountRows(RecordsetState& state)
{
    QueryState& query = *state.query;
    Statement count = Prepare(
        query.connection->db, "SELECT count(*) FROM " + Quote(query.source), kDatabaseSource);
    Step(count.get(), kDatabaseSource);
    return long(sqlite3_column_int64(count.get(), 0));
}

}
