#include "platform/database/database.h"

#include "platform/database/database_connection.h"
#include "platform/database/database_lookups.h"
#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"
#include "platform/system/failure.h"
#include "platform/database/jet_sql.h"

#include <cctype>

namespace platform {

// Compiled statements a connection keeps at most; past that they are compiled afresh.
static constexpr size_t kMostStatements = 200;

struct Column {
    std::string name; // as the record set names it
    std::string origin; // the table column it shows; empty when it cannot be stored
    int type = 0; // DAO type of the column it comes from; 0 for a computed one
};

struct Row {
    sqlite3_int64 key = 0; // the row id in the table
    std::vector<Value> values;
};

enum class Pending { None, NewRow, EditedRow };

struct RecordsetState {
    std::shared_ptr<Connection> connection;
    std::string table; // where changes are stored; empty when the set is read-only
    std::string query; // reads the rows, each led by its row id when `keyed`
    bool keyed = false;
    std::vector<Column> columns;
    bool loaded = false; // a table's rows are read on first use: most opens only count them
    std::vector<Row> rows;
    long count = 0;
    size_t position = 0; // the current row; rows.size() past the end
    Pending pending = Pending::None;
    std::vector<Value> buffer; // the pending row
};

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&& other) noexcept = default;
Recordset::~Recordset() { CloseQuietly(*this); }

Recordset& Recordset::operator=(Recordset&& other) noexcept
{
    if (this != &other) {
        CloseQuietly(*this);
        state = std::move(other.state);
    }
    return *this;
}

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

Recordset OpenRecordset(Database& database, const std::string& source)
{
    Connection& c = Opened(database);
    if (c.statements.size() >= kMostStatements)
        ForgetStatements(c);
    auto state = std::make_unique<RecordsetState>();
    state->connection = database.connection;
    if (IsQuery(source)) {
        LoadQuery(*state, TranslateJetSql(source));
    } else {
        std::optional<std::string> table = StoredTableName(c, source);
        if (!table)
            Raise(3078, kDatabaseSource, "Cannot find the input table or query '" + source + "'.");
        CompileRecords(*state, "SELECT * FROM " + Quote(*table),
            [&](const std::string& sql) { return TryCached(c, sql); });
        state->count = CountRows(c, *table);
    }
    ++c.uses;
    Recordset records;
    records.state = std::move(state);
    return records;
}

void Close(Recordset& records)
{
    std::unique_ptr<RecordsetState> state = std::move(records.state);
    if (state)
        RaiseFirst(EndUse(*state->connection, kRecordsetSource));
}

static RecordsetState& Opened(Recordset& records)
{
    if (!records.state)
        Raise(3420, kRecordsetSource, "Object invalid or no longer set: the record set is closed.");
    return *records.state;
}

static RecordsetState& Loaded(Recordset& records)
{
    RecordsetState& state = Opened(records);
    if (!state.loaded)
        Load(state, Cached(*state.connection, state.query, kRecordsetSource));
    return state;
}

static Row& CurrentRow(RecordsetState& state)
{
    if (state.position >= state.rows.size())
        Raise(3021, kRecordsetSource, "No current record.");
    return state.rows[state.position];
}

bool IsEof(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    return state.position >= state.rows.size();
}

void MoveFirst(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    state.pending = Pending::None;
    state.position = 0;
}

void MoveNext(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    state.pending = Pending::None;
    CurrentRow(state);
    ++state.position;
}

long RecordCount(Recordset& records) { return Opened(records).count; }

static void RequireWritable(const RecordsetState& state)
{
    if (state.table.empty())
        Raise(3027, kRecordsetSource,
            "Cannot update. Database or object is read-only: " + state.query);
}

void AddNew(Recordset& records)
{
    RecordsetState& state = Opened(records);
    RequireWritable(state);
    state.buffer.assign(state.columns.size(), Null {});
    state.pending = Pending::NewRow;
}

void Edit(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    RequireWritable(state);
    state.buffer = CurrentRow(state).values;
    state.pending = Pending::EditedRow;
}

// Binds the pending values of the listed columns from parameter 1 on; returns the next index.
static int BindColumns(
    const RecordsetState& state, sqlite3_stmt* statement, const std::vector<size_t>& columns)
{
    int index = 0;
    for (size_t column : columns)
        Bind(statement, ++index, state.buffer[column], state.columns[column].type);
    return index + 1;
}

static void InsertRow(RecordsetState& state)
{
    std::vector<size_t> stored;
    std::string names, marks;
    for (size_t i = 0; i < state.columns.size(); ++i) {
        if (state.columns[i].origin.empty())
            continue;
        names += (stored.empty() ? "" : ", ") + Quote(state.columns[i].origin);
        marks += stored.empty() ? "?" : ", ?";
        stored.push_back(i);
    }
    Connection& c = *state.connection;
    sqlite3_stmt* statement
        = Cached(c, "INSERT INTO " + Quote(state.table) + " (" + names + ") VALUES (" + marks + ")",
            kRecordsetSource);
    BeginWriting(c, kRecordsetSource);
    Running running { statement };
    BindColumns(state, statement, stored);
    Step(c, statement, kRecordsetSource);
    ++state.count;
    if (state.loaded) {
        bool pastEnd = state.position >= state.rows.size();
        state.rows.push_back({ sqlite3_last_insert_rowid(c.db), state.buffer });
        if (pastEnd)
            state.position = state.rows.size();
    }
}

// Stores the columns whose values differ from the row as read; an unchanged row writes nothing.
static void UpdateRow(RecordsetState& state)
{
    Row& row = CurrentRow(state);
    std::vector<size_t> changed;
    std::string assignments;
    for (size_t i = 0; i < state.columns.size(); ++i) {
        if (state.buffer[i] == row.values[i])
            continue;
        assignments += (changed.empty() ? "" : ", ") + Quote(state.columns[i].origin) + " = ?";
        changed.push_back(i);
    }
    if (!changed.empty()) {
        Connection& c = *state.connection;
        sqlite3_stmt* statement = Cached(c,
            "UPDATE " + Quote(state.table) + " SET " + assignments + " WHERE _rowid_ = ?",
            kRecordsetSource);
        BeginWriting(c, kRecordsetSource);
        Running running { statement };
        sqlite3_bind_int64(statement, BindColumns(state, statement, changed), row.key);
        Step(c, statement, kRecordsetSource);
    }
    row.values = state.buffer;
}

void Update(Recordset& records)
{
    RecordsetState& state = Opened(records);
    if (state.pending == Pending::None)
        Raise(3020, kRecordsetSource, "Update or CancelUpdate without AddNew or Edit.");
    if (state.pending == Pending::NewRow)
        InsertRow(state);
    else
        UpdateRow(state);
    state.pending = Pending::None;
}

int FieldCount(Recordset& records) { return int(Opened(records).columns.size()); }

static size_t ColumnIndex(const RecordsetState& state, int position)
{
    if (position < 0 || size_t(position) >= state.columns.size())
        Raise(3265, kRecordsetSource,
            "Item not found in this collection: no field at position " + std::to_string(position)
                + ".");
    return size_t(position);
}

static size_t ColumnIndex(const RecordsetState& state, const std::string& field)
{
    for (size_t i = 0; i < state.columns.size(); ++i)
        if (SameName(state.columns[i].name, field))
            return i;
    Raise(3265, kRecordsetSource, "Item not found in this collection: no field '" + field + "'.");
}

std::string FieldName(Recordset& records, int position)
{
    RecordsetState& state = Opened(records);
    return state.columns[ColumnIndex(state, position)].name;
}

template <typename Field> static Value ValueOf(Recordset& records, const Field& field)
{
    RecordsetState& state = Opened(records);
    size_t index = ColumnIndex(state, field);
    if (state.pending != Pending::None)
        return state.buffer[index];
    return CurrentRow(Loaded(records)).values[index];
}

Value GetValue(Recordset& records, const std::string& field) { return ValueOf(records, field); }
Value GetValue(Recordset& records, int position) { return ValueOf(records, position); }

template <typename Field>
static void Assign(Recordset& records, const Field& field, const Value& value)
{
    RecordsetState& state = Opened(records);
    size_t index = ColumnIndex(state, field);
    if (state.pending == Pending::None)
        Raise(3020, kRecordsetSource, "Update or CancelUpdate without AddNew or Edit.");
    if (state.columns[index].origin.empty())
        Raise(
            3164, kRecordsetSource, "Field '" + state.columns[index].name + "' cannot be updated.");
    state.buffer[index] = value;
}

void SetValue(Recordset& records, const std::string& field, const Value& value)
{
    Assign(records, field, value);
}

void SetValue(Recordset& records, int position, const Value& value)
{
    Assign(records, position, value);
}

}
