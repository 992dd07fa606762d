// A private copy's connection, shared by the parts of the database layer.
#pragma once

#include "platform/database/failure_sources.h"
#include "platform/system/failure.h"

#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace platform {

// A database in memory, made from a file's content; it never writes any file.
struct Connection {
    sqlite3* db = nullptr;
    std::string path; // the file it was read from, for messages
    std::vector<std::string> lookupIndexes; // made by AddLookupIndex, in the open transaction
    ~Connection();
};

// Opens a SQLite connection as this layer uses every one, from one thread at a time: without a
// mutex of its own and, from SQLite's first use on, without its memory statistics, whose mutex
// every allocation would take.
int OpenSqlite(const std::string& path, sqlite3** db, int flags);

// A new, empty database in memory, set up as every copy of the engine is; raises 3000 when
// SQLite cannot make one.
Connection* NewConnection(const std::string& path);

struct Database;

// The handle's connection; raises 3420 when the handle is closed.
Connection& Opened(Database& database);

// The stored name of the table named so without regard to case, or none.
std::optional<std::string> StoredTableName(Connection& c, const std::string& name);

}
