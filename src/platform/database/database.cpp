#include "platform/database/database.h"

#include "platform/database/database_connection.h"
#include "platform/database/database_lookups.h"
#include "platform/database/database_statements.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"
#include "platform/database/jet_import.h"
#include "platform/database/jet_sql.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace platform {

// Ends the connection's transaction. Look-up indexes are dropped and the caller's changes
// committed; a transaction that holds nothing else is rolled back, leaving the file as it was.
// When storing fails, everything is rolled back and the failure raised.
static void Commit(Connection& c, const char* source)
{
    bool open = !sqlite3_get_autocommit(c.db);
    bool changed = std::exchange(c.changed, false);
    if (std::optional<Failure> lost = std::exchange(c.lost, std::nullopt); lost && changed) {
        if (open)
            sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        ForgetLookupIndexes(c);
        Raise(lost->number, source,
            "Could not store the changes to '" + c.path + "', they are discarded: " + lost->description);
    }
    if (open && changed
        && !(DropLookupIndexes(c)
            && sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)) {
        std::string message = sqlite3_errmsg(c.db);
        long number = DaoNumber(sqlite3_extended_errcode(c.db), message);
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        ForgetLookupIndexes(c);
        Raise(number, source,
            "Could not store the changes to '" + c.path + "', they are discarded: " + message);
    }
    if (open && !changed)
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
    ForgetLookupIndexes(c);
}

Connection::~Connection()
{
    ForgetStatements(*this);
    // A handle still open when the process ends normally keeps its changes, as Jet stores each
    // update at once.
    if (db)
        try {
            Commit(*this, kDatabaseSource);
        } catch (const Failure&) {
        }
    sqlite3_close(db);
}

static std::map<std::string, std::shared_ptr<Connection>>& Connections()
{
    static std::map<std::string, std::shared_ptr<Connection>> connections;
    return connections;
}

// The file's canonical path, worked out once per path: a file opened once per row would
// otherwise have each folder of its path looked at again.
static std::string KeyOf(const std::string& foundPath)
{
    static std::map<std::string, std::string> keys;
    auto known = keys.find(foundPath);
    if (known == keys.end()) {
        std::error_code error;
        std::string key = std::filesystem::weakly_canonical(foundPath, error).string();
        known = keys.emplace(foundPath, error ? foundPath : key).first;
    }
    return known->second;
}

std::shared_ptr<Connection> Connect(const std::string& path, const struct stat& info)
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
    if (!AddJetTextCollation(c->db))
        RaiseSqlite(*c, kDatabaseSource, "Cannot open '" + path + "'");
    sqlite3_busy_timeout(c->db, kBusyTimeoutMs);
    // A rollback journal is gone after each commit, so the file alone holds the database.
    Execute(*c, "PRAGMA journal_mode=DELETE", kDatabaseSource);
    c->schemaVersion = SchemaVersion(*c);
    return c;
}

void BeginWriting(Connection& c, const char* source)
{
    // Changes made after the transaction was lost would be stored without those before them.
    if (c.lost)
        Raise(c.lost->number, source, c.lost->description);
    if (sqlite3_get_autocommit(c.db))
        Execute(c, "BEGIN", source);
    c.changed = true;
}

void ChangeSchema(Connection& c, const std::string& sql, const char* source)
{
    BeginWriting(c, source);
    if (!DropLookupIndexes(c))
        RaiseSqlite(c, source, "Cannot run " + sql);
    ForgetStatements(c);
    Execute(c, sql, source);
}

// Commits wait until no handle of any file is open, so a file opened and closed once per row
// while another file stays open costs no commit per row.
std::vector<Failure> EndUse(Connection& c, const char* source)
{
    --c.uses;
    auto& connections = Connections();
    std::vector<Failure> failures;
    if (std::any_of(connections.begin(), connections.end(),
            [](const auto& entry) { return entry.second->uses > 0; }))
        return failures;
    for (const auto& entry : connections) {
        try {
            Commit(*entry.second, source);
        } catch (const Failure& each) {
            failures.push_back(each);
        }
    }
    return failures;
}

void RaiseFirst(const std::vector<Failure>& failures)
{
    if (!failures.empty())
        throw failures.front();
}

static void RefuseWhileInUse(const Connection& c)
{
    if (c.uses > 0)
        Raise(3045, kDatabaseSource, "Could not use '" + c.path + "'; file already in use.");
}

Connection& Opened(Database& database)
{
    if (!database.connection)
        Raise(3420, kDatabaseSource, "Object invalid or no longer set: the database is closed.");
    return *database.connection;
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
    if (cached == connections.end()) {
        // A Jet file brought from Windows becomes a file of this engine when first opened.
        if (IsJetFile(found)) {
            ImportJetDatabase(found);
            stat(found.c_str(), &info);
        }
        cached = connections.emplace(key, Connect(found, info)).first;
    }
    ++cached->second->uses;
    Database database;
    database.connection = cached->second;
    return database;
}

void Close(Database& database)
{
    RaiseFirst(CloseAndStore(database));
}

std::vector<Failure> CloseAndStore(Database& database)
{
    std::shared_ptr<Connection> c = std::move(database.connection);
    return c ? EndUse(*c, kDatabaseSource) : std::vector<Failure> {};
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

void DiscardDatabaseFile(const std::string& path)
{
    auto found = Connections().find(KeyOf(ResolvePath(path)));
    if (found == Connections().end())
        return;
    RefuseWhileInUse(*found->second);
    std::shared_ptr<Connection> c = found->second;
    Connections().erase(found);
    c->changed = false;
    Commit(*c, kDatabaseSource);
}

std::vector<Failure> ReleaseDatabaseFiles()
{
    auto& connections = Connections();
    for (const auto& entry : connections)
        RefuseWhileInUse(*entry.second);
    std::vector<Failure> failures;
    while (!connections.empty())
        try {
            Release(connections.begin());
        } catch (const Failure& each) {
            failures.push_back(each);
        }
    return failures;
}

bool DatabaseFileIsSound(const std::string& path)
{
    sqlite3* db = nullptr;
    bool sound = sqlite3_open_v2(ResolvePath(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    sqlite3_stmt* check = nullptr;
    sound = sound && sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK
        && sqlite3_step(check) == SQLITE_ROW
        && std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok"
        && sqlite3_step(check) == SQLITE_DONE;
    sqlite3_finalize(check);
    sqlite3_close(db);
    return sound;
}

// Called on the way out of a process that ends at once: what the files hold pending is kept.
void StoreDatabaseFilesAtEnd()
{
    for (const auto& entry : Connections())
        try {
            Commit(*entry.second, kDatabaseSource);
        } catch (const Failure&) {
        }
}

}
