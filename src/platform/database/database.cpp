// A private copy's life: made from bytes, changed in one transaction, turned back into bytes.
#include "platform/database/database.h"

#include "platform/database/database_connection.h"
#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"
#include "platform/database/jet_sql.h"
#include "platform/system/text.h"

#include <algorithm>

namespace platform {

Connection::~Connection() { sqlite3_close_v2(db); }

int OpenSqlite(const std::string& path, sqlite3** db, int flags)
{
    // Refused once SQLite is in use (by another part of the process): it then keeps counting.
    static bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
    return sqlite3_open_v2(path.c_str(), db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
}

Connection* NewConnection(const std::string& path)
{
    auto c = std::make_unique<Connection>();
    c->path = path;
    if (OpenSqlite(":memory:", &c->db, SQLITE_OPEN_READWRITE) != SQLITE_OK
        || !AddJetTextCollation(c->db))
        Raise(3000, kDatabaseSource, "Cannot make a copy of '" + path + "' in memory.");
    // Jet texts quote strings with double quotes; SQLite must never take one for a column.
    sqlite3_db_config(c->db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(c->db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    return c.release();
}

Connection& Opened(Database& database)
{
    if (!database.connection)
        Raise(3420, kDatabaseSource, "Object invalid or no longer set: the database is closed.");
    return *database.connection;
}

void Close(Database& database) { database.connection.reset(); }

void BeginTransaction(Database& database)
{
    Execute(Opened(database).db, "BEGIN", kDatabaseSource);
}

void CommitTransaction(Database& database)
{
    Execute(Opened(database).db, "COMMIT", kDatabaseSource);
}

void CheckDatabase(Database& database)
{
    Connection& c = Opened(database);
    Statement check = TryPrepare(c.db, "PRAGMA quick_check");
    if (!check || sqlite3_step(check.get()) != SQLITE_ROW || Text(check.get(), 0) != "ok")
        Raise(3343, kDatabaseSource, "The database '" + c.path + "' is damaged.");
}

std::string DatabaseImage(Database& database)
{
    Connection& c = Opened(database);
    if (!sqlite3_get_autocommit(c.db) || !c.lookupIndexes.empty())
        Raise(3000, kDatabaseSource,
            "The copy of '" + c.path
                + "' is still being changed: its transaction or a look-up "
                  "index is open.");
    CheckDatabase(database);
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(c.db, "main", &size, 0);
    if (!bytes && size > 0)
        Raise(3000, kDatabaseSource, "Cannot take the copy of '" + c.path + "' out of memory.");
    std::string image(reinterpret_cast<char*>(bytes), static_cast<size_t>(size));
    sqlite3_free(bytes);
    return image;
}

void AddLookupIndex(
    Database& database, const std::string& table, const std::vector<std::string>& columns)
{
    Connection& c = Opened(database);
    std::optional<std::string> stored = StoredTableName(c, table);
    if (!stored)
        return;
    std::vector<std::string> have;
    Statement names = Prepare(c.db, "SELECT name FROM pragma_table_info(?1)", kDatabaseSource);
    BindText(names.get(), 1, *stored);
    while (Step(names.get(), kDatabaseSource))
        have.push_back(Text(names.get(), 0));
    std::string list;
    for (const std::string& column : columns) {
        if (std::none_of(have.begin(), have.end(),
                [&](const std::string& name) { return EqualsIgnoringAsciiCase(name, column); }))
            return;
        // Jet's texts compare without regard to case, so the index orders them so; numbers
        // order the same under any collation.
        list += (list.empty() ? "" : ", ") + Quote(column) + " COLLATE " + kJetTextCollation;
    }
    // "!" cannot stand in a Jet name, so no table's own index is named so.
    std::string name = "lookup!" + std::to_string(c.lookupIndexes.size() + 1);
    Execute(c.db, "CREATE INDEX " + Quote(name) + " ON " + Quote(*stored) + " (" + list + ")",
        kDatabaseSource);
    c.lookupIndexes.push_back(name);
}

void DropLookupIndexes(Database& database)
{
    Connection& c = Opened(database);
    while (!c.lookupIndexes.empty()) {
        Execute(c.db, "DROP INDEX " + Quote(c.lookupIndexes.back()), kDatabaseSource);
        c.lookupIndexes.pop_back();
    }
}

}
