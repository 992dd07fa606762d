// Record sets: moving through their rows, reading and changing values, storing new and edited rows.
#include "platform/database/database.h"

#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"
#include "platform/database/recordset_reading.h"
#include "platform/system/failure.h"

namespace platform {

// Compiled statements a connection keeps at most; past that they are compiled afresh.
static constexpr size_t kMostStatements = 200;

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

Recordset OpenRecordset(Database& database, const std::string& source)
{
    Connection& c = Opened(database);
    if (c.statements.size() >= kMostStatements)
        ForgetStatements(c);
    auto state = std::make_unique<RecordsetState>();
    state->connection = database.connection;
    OpenRows(*state, source);
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
        LoadRows(state);
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
