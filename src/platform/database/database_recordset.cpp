// Record sets: moving through their rows, reading and changing values, storing new and edited rows.
#include "platform/database/database.h"

#include "platform/database/database_names.h"
#include "platform/database/field_values.h"
#include "platform/database/recordset_reading.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

namespace platform {

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&& other) noexcept = default;
Recordset& Recordset::operator=(Recordset&& other) noexcept = default;
Recordset::~Recordset() = default;

static Recordset NewRecordset(std::shared_ptr<QueryState> query)
{
    Recordset records;
    records.state = std::make_unique<RecordsetState>();
    records.state->query = std::move(query);
    return records;
}

Recordset OpenRecordset(Database& database, const std::string& source)
{
    Opened(database);
    Recordset records = NewRecordset(CompileRows(database.connection, source));
    RecordsetState& state = *records.state;
    if (state.query->source.empty())
        LoadRows(state, {});
    else
        state.count = CountRows(state);
    return records;
}

Query PrepareQuery(Database& database, const std::string& jetSql)
{
    Opened(database);
    Query query { CompileRows(database.connection, jetSql) };
    if (!query.state->source.empty())
        Raise(3075, kDatabaseSource, "Syntax error in query: '" + jetSql + "' is no SELECT.");
    return query;
}

Recordset OpenRecordset(Query& query, const std::vector<Value>& values)
{
    if (!query.state)
        Raise(3420, kDatabaseSource, "Object invalid or no longer set: the query is closed.");
    if (int(values.size()) != query.state->parameters)
        Raise(3061, kDatabaseSource,
            "Too few parameters. Expected " + std::to_string(query.state->parameters) + ".");
    Recordset records = NewRecordset(query.state);
    LoadRows(*records.state, values);
    return records;
}

void Close(Recordset& records) { records.state.reset(); }

static RecordsetState& Opened(Recordset& records)
{
    if (!records.state)
        Raise(3420, kRecordsetSource, "Object invalid or no longer set: the record set is closed.");
    return *records.state;
}

static bool IsTable(const RecordsetState& state) { return !state.query->source.empty(); }

// The record set with its current row at hand: a table's walk begins at the first use.
static RecordsetState& Loaded(Recordset& records)
{
    RecordsetState& state = Opened(records);
    if (IsTable(state) && !state.walking)
        WalkRows(state, true);
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
    RecordsetState& state = Opened(records);
    state.pending = Pending::None;
    if (IsTable(state))
        WalkRows(state, true);
    state.position = 0;
}

void MoveNext(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    state.pending = Pending::None;
    CurrentRow(state);
    if (IsTable(state))
        WalkRows(state, false);
    else
        ++state.position;
}

long RecordCount(Recordset& records) { return Opened(records).count; }

static void RequireWritable(const RecordsetState& state)
{
    if (state.query->table.empty())
        Raise(3027, kRecordsetSource,
            "Cannot update. Database or object is read-only: " + state.query->readOnly + ".");
}

static void Start(RecordsetState& state, Pending pending, std::vector<Value> values)
{
    state.buffer = std::move(values);
    state.assigned.assign(state.buffer.size(), false);
    state.pending = pending;
}

void AddNew(Recordset& records)
{
    RecordsetState& state = Opened(records);
    RequireWritable(state);
    Start(state, Pending::NewRow, std::vector<Value>(state.query->columns.size(), Null {}));
}

void Edit(Recordset& records)
{
    RecordsetState& state = Loaded(records);
    RequireWritable(state);
    Start(state, Pending::EditedRow, CurrentRow(state).values);
}

// Binds the pending values of the listed columns from parameter 1 on; returns the next index.
static int BindColumns(
    const RecordsetState& state, sqlite3_stmt* statement, const std::vector<size_t>& columns)
{
    int index = 0;
    for (size_t column : columns)
        Bind(statement, ++index, state.buffer[column], state.query->columns[column].type);
    return index + 1;
}

// The statement that stores a new row, compiled at the first.
static sqlite3_stmt* Inserting(QueryState& query)
{
    if (query.insert)
        return query.insert.get();
    std::string names, marks;
    for (size_t i = 0; i < query.columns.size(); ++i) {
        if (query.columns[i].origin.empty())
            continue;
        names += (query.inserted.empty() ? "" : ", ") + Quote(query.columns[i].origin);
        marks += query.inserted.empty() ? "?" : ", ?";
        query.inserted.push_back(i);
    }
    query.insert = Prepare(query.connection->db,
        "INSERT INTO " + Quote(query.table) + " (" + names + ") VALUES (" + marks + ")",
        kRecordsetSource);
    return query.insert.get();
}

static void InsertRow(RecordsetState& state)
{
    QueryState& query = *state.query;
    sqlite3_stmt* insert = Inserting(query);
    Running running { insert };
    BindColumns(state, insert, query.inserted);
    Step(insert, kRecordsetSource);
    ++state.count;
    // A table's walk meets the new row at its end by itself.
    if (!IsTable(state)) {
        bool pastEnd = state.position >= state.rows.size();
        state.rows.push_back({ sqlite3_last_insert_rowid(query.connection->db), state.buffer });
        if (pastEnd)
            state.position = state.rows.size();
    }
}

// Stores the columns set since Edit; a row where none was set writes nothing.
static void UpdateRow(RecordsetState& state)
{
    QueryState& query = *state.query;
    Row& row = CurrentRow(state);
    std::vector<size_t> changed;
    for (size_t i = 0; i < query.columns.size(); ++i)
        if (state.assigned[i])
            changed.push_back(i);
    if (!changed.empty()) {
        Statement& statement = query.updates[changed];
        if (!statement) {
            std::string assignments;
            for (size_t i : changed)
                assignments
                    += (assignments.empty() ? "" : ", ") + Quote(query.columns[i].origin) + " = ?";
            statement = Prepare(query.connection->db,
                "UPDATE " + Quote(query.table) + " SET " + assignments + " WHERE " + query.rowId
                    + " = ?",
                kRecordsetSource);
        }
        Running running { statement.get() };
        sqlite3_bind_int64(statement.get(), BindColumns(state, statement.get(), changed), row.key);
        Step(statement.get(), kRecordsetSource);
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

int FieldCount(Recordset& records) { return int(Opened(records).query->columns.size()); }

static size_t ColumnIndex(const RecordsetState& state, int position)
{
    if (position < 0 || size_t(position) >= state.query->columns.size())
        Raise(3265, kRecordsetSource,
            "Item not found in this collection: no field at position " + std::to_string(position)
                + ".");
    return size_t(position);
}

static size_t ColumnIndex(const RecordsetState& state, const std::string& field)
{
    const std::vector<Column>& columns = state.query->columns;
    for (size_t i = 0; i < columns.size(); ++i)
        if (EqualsIgnoringAsciiCase(columns[i].name, field))
            return i;
    Raise(3265, kRecordsetSource, "Item not found in this collection: no field '" + field + "'.");
}

std::string FieldName(Recordset& records, int position)
{
    RecordsetState& state = Opened(records);
    return state.query->columns[ColumnIndex(state, position)].name;
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
    const Column& column = state.query->columns[index];
    if (column.origin.empty())
        Raise(3164, kRecordsetSource, "Field '" + column.name + "' cannot be updated.");
    // A value that does not convert leaves the field as it was.
    state.buffer[index] = FieldValue(value, column.type);
    state.assigned[index] = true;
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
