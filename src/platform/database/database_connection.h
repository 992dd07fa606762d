// A file's cached connection and its transaction, shared by the parts of the database layer.
#pragma once

#include "platform/database/database_values.h"
#include "platform/system/failure.h"

#include <map>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace platform {

inline constexpr const char* kDatabaseSource = "DAO.Database";
inline constexpr const char* kTableDefSource = "DAO.TableDef";
inline constexpr const char* kFieldSource = "DAO.Field";
inline constexpr const char* kRecordsetSource = "DAO.Recordset";

// How long a call waits for another process's lock on the file before it fails.
inline constexpr int kBusyTimeoutMs = 5000;

// An index the engine keeps for a kind of look-up on one table's columns.
struct LookupIndex {
    int scans = 0; // whole-table scans the look-up took so far
    std::string name; // the index in the open transaction; empty while there is none
    bool refused = false; // SQLite would not make it in this transaction
};

struct Connection {
    std::string path; // the file as found on disk
    sqlite3* db = nullptr;
    dev_t device = 0; // the file's identity when opened, to notice a file replaced since
    ino_t inode = 0;
    int uses = 0; // open database and record-set handles
    int schemaVersion = 0; // the schema the cached statements were compiled against
    std::map<std::string, sqlite3_stmt*> statements; // texts that recur, compiled once
    bool changed = false; // the open transaction holds changes of the caller's
    // The failure after which SQLite rolled back a transaction holding changes by itself (a
    // full disk does so); the changes are lost and the file takes no more until Commit says so.
    std::optional<Failure> lost;
    std::map<std::string, LookupIndex> lookups; // by table and columns
    int lookupIndexesMade = 0; // numbers the names of the indexes
    ~Connection();
};

// A new connection to the SQLite file at `path`, whose identity `info` gives, set up as every
// file of the engine is; raises SQLite's failure.
std::shared_ptr<Connection> Connect(const std::string& path, const struct stat& info);

struct Database;

// The handle's connection; raises 3420 when the handle is closed.
Connection& Opened(Database& database);

// Starts the connection's transaction unless one is open, and marks it as holding changes.
void BeginWriting(Connection& c, const char* source);

// Runs a statement that changes tables or columns in the transaction. Look-up indexes are dropped
// first and cached statements forgotten, as they may describe the old tables.
void ChangeSchema(Connection& c, const std::string& sql, const char* source);

// Ends a handle's use of its connection; when no handle of any file is open any more, every
// file's transaction ends. Returns every failure to store a file's changes.
std::vector<Failure> EndUse(Connection& c, const char* source);

// Raises the first of the failures, if any.
void RaiseFirst(const std::vector<Failure>& failures);

// The stored name of the table named so without regard to case, or none.
std::optional<std::string> StoredTableName(Connection& c, const std::string& name);

// Closes a handle whose owner cannot be told of a failure: it is dropped.
template <typename Handle> void CloseQuietly(Handle& handle) noexcept
{
    try {
        Close(handle);
    } catch (...) {
    }
}

}
