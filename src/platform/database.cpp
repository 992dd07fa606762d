#include "platform/database.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/jet_sql.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <utility>

namespace platform {

static constexpr const char* kDatabaseSource = "DAO.Database";
static constexpr const char* kTableDefSource = "DAO.TableDef";
static constexpr const char* kFieldSource = "DAO.Field";
static constexpr const char* kRecordsetSource = "DAO.Recordset";

// How long a call waits for another process's lock on the file before it fails.
static constexpr int kBusyTimeoutMs = 5000;

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

struct Connection {
    std::string path; // the file as found on disk
    sqlite3* db = nullptr;
    dev_t device = 0; // the file's identity when opened, to notice a file replaced since
    ino_t inode = 0;
    int uses = 0; // open database and record-set handles
    int schemaVersion = 0; // the schema the cached statements were compiled against
    std::map<std::string, sqlite3_stmt*> statements; // texts that recur, compiled once
    ~Connection();
};

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

// ---- Names and types ----

static char AsciiUpper(char ch) { return ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch; }

// Names compare as Jet and SQLite compare them: ASCII letters without regard to case.
static bool SameName(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

static std::string Quote(const std::string& identifier)
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

static const TypeName* TypeNameOf(int type)
{
    for (const TypeName& entry : kTypeNames)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

static std::string DeclaredType(const FieldDef& field)
{
    const TypeName* entry = TypeNameOf(field.type);
    if (!entry)
        Raise(3259, kFieldSource,
            "Invalid field data type " + std::to_string(field.type) + " for field '" + field.name
                + "'.");
    std::string declared = entry->name;
    if (entry->size == kSized)
        declared += "(" + std::to_string(field.size) + ")";
    // Jet compares text without regard to case.
    if (field.type == kDbText || field.type == kDbMemo)
        declared += " COLLATE NOCASE";
    return declared;
}

static FieldDef FieldOf(std::string name, const std::string& declared)
{
    std::string upper = declared;
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    size_t open = upper.find('(');
    std::string base = upper.substr(0, open);
    base.erase(base.find_last_not_of(' ') + 1);
    bool sized = open != std::string::npos;
    long size = sized ? std::atol(upper.c_str() + open + 1) : 0;
    for (const TypeName& entry : kTypeNames)
        if (base == entry.name && sized == (entry.size == kSized))
            return { std::move(name), entry.type, sized ? size : entry.size };
    // Declared by another tool: the DAO type nearest to what SQLite makes of the name.
    auto has = [&](const char* part) { return base.find(part) != std::string::npos; };
    DaoType type = has("INT")                       ? kDbLong
        : has("CHAR") || has("CLOB") || has("TEXT") ? (sized ? kDbText : kDbMemo)
        : has("BLOB") || base.empty()               ? kDbLongBinary
        : has("BOOL")                               ? kDbBoolean
        : has("DATE") || has("TIME")                ? kDbDate
                                                    : kDbDouble;
    return { std::move(name), type, type == kDbText ? size : TypeNameOf(type)->size };
}

// ---- Statements and failures ----

// The DAO number nearest to an SQLite failure; SQL errors are told apart by SQLite's message.
static long DaoNumber(int extendedCode, const std::string& message)
{
    if (extendedCode == SQLITE_CONSTRAINT_NOTNULL)
        return 3314;
    switch (extendedCode & 0xff) {
    case SQLITE_ERROR:
        return message.starts_with("no such table") ? 3078
            : message.starts_with("no such column") ? 3061
                                                    : 3075;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return 3218;
    case SQLITE_READONLY:
        return 3027;
    case SQLITE_FULL:
        return 3026;
    case SQLITE_IOERR:
        return 3043;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return 3343;
    case SQLITE_CONSTRAINT:
        return 3022;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return 3051;
    default:
        return 3000;
    }
}

[[noreturn]] static void RaiseSqlite(Connection& c, const char* source, const std::string& what)
{
    std::string message = sqlite3_errmsg(c.db);
    Raise(DaoNumber(sqlite3_extended_errcode(c.db), message), source, what + ": " + message);
}

static void Execute(Connection& c, const std::string& sql, const char* source)
{
    if (sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseSqlite(c, source, "Cannot run " + sql);
}

// Compiles one statement; empty, with SQLite's error left on the connection, when it fails.
static Statement TryPrepare(Connection& c, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(c.db, sql.c_str(), int(sql.size()), &statement, nullptr);
    return Statement(statement);
}

static sqlite3_stmt* TryCached(Connection& c, const std::string& sql)
{
    auto found = c.statements.find(sql);
    if (found != c.statements.end())
        return found->second;
    Statement statement = TryPrepare(c, sql);
    return statement ? c.statements.emplace(sql, statement.release()).first->second : nullptr;
}

static sqlite3_stmt* Cached(Connection& c, const std::string& sql, const char* source)
{
    sqlite3_stmt* statement = TryCached(c, sql);
    if (!statement)
        RaiseSqlite(c, source, "Cannot run " + sql);
    return statement;
}

static void ForgetStatements(Connection& c)
{
    for (auto& entry : c.statements)
        sqlite3_finalize(entry.second);
    c.statements.clear();
}

Connection::~Connection()
{
    ForgetStatements(*this);
    // A handle still open when the process ends normally keeps its changes, as Jet stores each
    // update at once.
    if (db && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Resets a statement when its use ends, so that no lock outlives the call.
struct Running {
    sqlite3_stmt* statement;
    ~Running()
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

// Steps the statement: true for a row, false when it is done.
static bool Step(Connection& c, sqlite3_stmt* statement, const char* source)
{
    int result = sqlite3_step(statement);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        RaiseSqlite(c, source, std::string("Cannot run ") + sqlite3_sql(statement));
    return result == SQLITE_ROW;
}

static void BindText(sqlite3_stmt* statement, int index, const std::string& text)
{
    sqlite3_bind_text(statement, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

static void Bind(sqlite3_stmt* statement, int index, const Value& value, int type)
{
    if (auto* number = std::get_if<long long>(&value)) {
        sqlite3_bind_int64(statement, index, *number);
    } else if (auto* real = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement, index, *real);
    } else if (auto* flag = std::get_if<bool>(&value)) {
        sqlite3_bind_int(statement, index, *flag ? 1 : 0);
    } else if (auto* text = std::get_if<std::string>(&value)) {
        // Binary columns take bytes, which SQLite must not read as text.
        if (type == kDbBinary || type == kDbLongBinary)
            sqlite3_bind_blob(statement, index, text->data(), int(text->size()), SQLITE_TRANSIENT);
        else
            BindText(statement, index, *text);
    } else {
        sqlite3_bind_null(statement, index);
    }
}

static std::string Text(sqlite3_stmt* statement, int column)
{
    auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return bytes ? std::string(bytes, sqlite3_column_bytes(statement, column)) : std::string();
}

static Value ReadValue(sqlite3_stmt* statement, int column, int type)
{
    bool real = type == kDbCurrency || type == kDbSingle || type == kDbDouble || type == kDbDate;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return Null {};
    case SQLITE_INTEGER: {
        long long number = sqlite3_column_int64(statement, column);
        if (type == kDbBoolean)
            return number != 0;
        return real ? Value(double(number)) : Value(number);
    }
    case SQLITE_FLOAT: {
        double number = sqlite3_column_double(statement, column);
        return type == kDbBoolean ? Value(number != 0) : Value(number);
    }
    default:
        return Text(statement, column);
    }
}

static int SchemaVersion(Connection& c)
{
    sqlite3_stmt* statement = Cached(c, "PRAGMA schema_version", kDatabaseSource);
    Running running { statement };
    Step(c, statement, kDatabaseSource);
    return sqlite3_column_int(statement, 0);
}

// ---- Connections and transactions ----

static std::map<std::string, std::shared_ptr<Connection>>& Connections()
{
    static std::map<std::string, std::shared_ptr<Connection>> connections;
    return connections;
}

static std::string KeyOf(const std::string& foundPath)
{
    std::error_code error;
    std::string key = std::filesystem::weakly_canonical(foundPath, error).string();
    return error ? foundPath : key;
}

static std::shared_ptr<Connection> Connect(const std::string& path, const struct stat& info)
{
    auto c = std::make_shared<Connection>();
    c->path = path;
    c->device = info.st_dev;
    c->inode = info.st_ino;
    if (sqlite3_open_v2(path.c_str(), &c->db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        RaiseSqlite(*c, kDatabaseSource, "Cannot open '" + path + "'");
    // Jet texts quote strings with double quotes; SQLite must never take one for a column.
    sqlite3_db_config(c->db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(c->db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(c->db, kBusyTimeoutMs);
    // A rollback journal is gone after each commit, so the file alone holds the database.
    Execute(*c, "PRAGMA journal_mode=DELETE", kDatabaseSource);
    c->schemaVersion = SchemaVersion(*c);
    return c;
}

// Writes run in the connection's transaction, committed once no handle of any file is open.
static void BeginWriting(Connection& c, const char* source)
{
    if (sqlite3_get_autocommit(c.db))
        Execute(c, "BEGIN", source);
}

// Commits the connection's changes; when that fails they are rolled back and the failure raised.
static void Commit(Connection& c, const char* source)
{
    if (sqlite3_get_autocommit(c.db)
        || sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return;
    std::string message = sqlite3_errmsg(c.db);
    long number = DaoNumber(sqlite3_extended_errcode(c.db), message);
    sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
    Raise(number, source,
        "Could not store the changes to '" + c.path + "', they are discarded: " + message);
}

// Ends a handle's use of its connection. Commits wait until no handle of any file is open, so a
// file opened and closed once per row while another file stays open costs no commit per row.
static void EndUse(Connection& c, const char* source)
{
    --c.uses;
    auto& connections = Connections();
    if (std::any_of(connections.begin(), connections.end(),
            [](const auto& entry) { return entry.second->uses > 0; }))
        return;
    std::optional<Failure> failure;
    for (const auto& entry : connections) {
        try {
            Commit(*entry.second, source);
        } catch (const Failure& each) {
            if (!failure)
                failure = each;
        }
    }
    if (failure)
        throw *failure;
}

static void RefuseWhileInUse(const Connection& c)
{
    if (c.uses > 0)
        Raise(3045, kDatabaseSource, "Could not use '" + c.path + "'; file already in use.");
}

// Closing from a destructor has no caller to report a failure to.
template <typename Handle> static void CloseQuietly(Handle& handle) noexcept
{
    try {
        Close(handle);
    } catch (...) {
    }
}

Database::Database() = default;
Database::Database(Database&& other) noexcept = default;
Database::~Database() { CloseQuietly(*this); }

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        CloseQuietly(*this);
        connection = std::move(other.connection);
    }
    return *this;
}

Database OpenDatabase(const std::string& path)
{
    std::string found = ResolvePath(path);
    struct stat info { };
    if (found.empty() || stat(found.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        Raise(3024, kDatabaseSource, "Could not find file '" + path + "'.");
    auto& connections = Connections();
    std::string key = KeyOf(found);
    auto cached = connections.find(key);
    if (cached != connections.end() && cached->second->uses == 0) {
        Connection& c = *cached->second;
        if (c.device != info.st_dev || c.inode != info.st_ino) {
            // The file was replaced since: the cached connection still reads the old one.
            connections.erase(cached);
            cached = connections.end();
        } else if (int version = SchemaVersion(c); version != c.schemaVersion) {
            ForgetStatements(c);
            c.schemaVersion = version;
        }
    }
    if (cached == connections.end())
        cached = connections.emplace(key, Connect(found, info)).first;
    ++cached->second->uses;
    Database database;
    database.connection = cached->second;
    return database;
}

void Close(Database& database)
{
    std::shared_ptr<Connection> c = std::move(database.connection);
    if (c)
        EndUse(*c, kDatabaseSource);
}

// Closes a cached connection that no handle uses, committing what is still pending.
static void Release(std::map<std::string, std::shared_ptr<Connection>>::iterator entry)
{
    RefuseWhileInUse(*entry->second);
    std::shared_ptr<Connection> c = entry->second;
    Connections().erase(entry);
    Commit(*c, kDatabaseSource);
}

void ReleaseDatabaseFile(const std::string& path)
{
    auto found = Connections().find(KeyOf(ResolvePath(path)));
    if (found != Connections().end())
        Release(found);
}

void ReleaseDatabaseFiles()
{
    auto& connections = Connections();
    for (const auto& entry : connections)
        RefuseWhileInUse(*entry.second);
    while (!connections.empty())
        Release(connections.begin());
}

// ---- Tables ----

static Connection& Opened(Database& database)
{
    if (!database.connection)
        Raise(3420, kDatabaseSource, "Object invalid or no longer set: the database is closed.");
    return *database.connection;
}

static std::optional<std::string> StoredTableName(Connection& c, const std::string& name)
{
    sqlite3_stmt* statement = Cached(c,
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE"
        " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
        kDatabaseSource);
    Running running { statement };
    BindText(statement, 1, name);
    if (!Step(c, statement, kDatabaseSource))
        return std::nullopt;
    return Text(statement, 0);
}

static std::string RequireTable(Connection& c, const std::string& name)
{
    std::optional<std::string> stored = StoredTableName(c, name);
    if (!stored)
        Raise(3265, kTableDefSource, "Item not found in this collection: no table '" + name + "'.");
    return *stored;
}

// Changes the schema in the transaction; cached statements may describe the old one, so they go.
static void ChangeSchema(Connection& c, const std::string& sql, const char* source)
{
    BeginWriting(c, source);
    ForgetStatements(c);
    Execute(c, sql, source);
}

std::vector<std::string> TableNames(Database& database)
{
    Connection& c = Opened(database);
    sqlite3_stmt* statement = Cached(c,
        "SELECT name FROM sqlite_schema WHERE type = 'table'"
        " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
        kDatabaseSource);
    Running running { statement };
    std::vector<std::string> names;
    while (Step(c, statement, kDatabaseSource))
        names.push_back(Text(statement, 0));
    return names;
}

bool HasTable(Database& database, const std::string& name)
{
    std::vector<std::string> names = TableNames(database);
    return std::find(names.begin(), names.end(), name) != names.end();
}

void DeleteTable(Database& database, const std::string& name)
{
    Connection& c = Opened(database);
    ChangeSchema(c, "DROP TABLE " + Quote(RequireTable(c, name)), kTableDefSource);
}

void AppendTable(Database& database, const TableDef& table)
{
    Connection& c = Opened(database);
    if (StoredTableName(c, table.name))
        Raise(3010, kTableDefSource, "Table '" + table.name + "' already exists.");
    if (table.fields.empty())
        Raise(3264, kTableDefSource, "No field defined--cannot append table '" + table.name + "'.");
    std::string sql = "CREATE TABLE " + Quote(table.name) + " (";
    for (auto field = table.fields.begin(); field != table.fields.end(); ++field) {
        if (std::any_of(table.fields.begin(), field,
                [&](const FieldDef& earlier) { return SameName(earlier.name, field->name); }))
            Raise(
                3191, kTableDefSource, "Cannot define field '" + field->name + "' more than once.");
        sql += (field == table.fields.begin() ? "" : ", ") + Quote(field->name) + " "
            + DeclaredType(*field);
    }
    ChangeSchema(c, sql + ")", kTableDefSource);
}

std::vector<FieldDef> TableFields(Database& database, const std::string& table)
{
    Connection& c = Opened(database);
    std::string stored = RequireTable(c, table);
    sqlite3_stmt* statement
        = Cached(c, "SELECT name, type FROM pragma_table_info(?1)", kTableDefSource);
    Running running { statement };
    BindText(statement, 1, stored);
    std::vector<FieldDef> fields;
    while (Step(c, statement, kTableDefSource))
        fields.push_back(FieldOf(Text(statement, 0), Text(statement, 1)));
    return fields;
}

void RenameField(Database& database, const std::string& table, const std::string& name,
    const std::string& newName)
{
    std::vector<FieldDef> fields = TableFields(database, table);
    auto field = std::find_if(fields.begin(), fields.end(),
        [&](const FieldDef& each) { return SameName(each.name, name); });
    if (field == fields.end())
        Raise(3265, kFieldSource,
            "Item not found in this collection: no field '" + name + "' in table '" + table + "'.");
    for (auto other = fields.begin(); other != fields.end(); ++other)
        if (other != field && SameName(other->name, newName))
            Raise(3191, kFieldSource, "Cannot define field '" + newName + "' more than once.");
    Connection& c = Opened(database);
    ChangeSchema(c,
        "ALTER TABLE " + Quote(RequireTable(c, table)) + " RENAME COLUMN " + Quote(field->name)
            + " TO " + Quote(newName),
        kFieldSource);
}

// ---- Record sets ----

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

Recordset OpenRecordset(Database& database, const std::string& source)
{
    Connection& c = Opened(database);
    auto state = std::make_unique<RecordsetState>();
    state->connection = database.connection;
    if (IsQuery(source)) {
        Statement owned;
        Load(*state, CompileRecords(*state, TranslateJetSql(source), [&](const std::string& sql) {
            owned = TryPrepare(c, sql);
            return owned.get();
        }));
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
        EndUse(*state->connection, kRecordsetSource);
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
