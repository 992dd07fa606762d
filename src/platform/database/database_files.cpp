// Database files as the copies see them: locked, read as one snapshot, and never written.
#include "platform/database/database.h"

#include "platform/database/database_connection.h"
#include "platform/database/database_statements.h"
#include "platform/system/files.h"

#include <sys/stat.h>
#include <thread>
#include <utility>

namespace platform {

struct LockedFile {
    sqlite3* db = nullptr;
    std::string path;
    Deadline deadline;
    ~LockedFile()
    {
        // Nothing was changed, so the rollback only lets go of the lock.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
};

// SQLite's busy handler: another program's lock is waited for until the deadline.
static int WaitUntilDeadline(void* deadline, int)
{
    if (std::chrono::steady_clock::now() >= *static_cast<Deadline*>(deadline))
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 1;
}

// Opens the file at `path` for SQLite, waiting for other programs until `*deadline`.
static sqlite3* OpenFile(const std::string& path, int flags, Deadline* deadline)
{
    std::string found = ResolvePath(path);
    struct stat info { };
    if (found.empty() || stat(found.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        Raise(3024, kDatabaseSource, "Could not find file '" + path + "'.");
    sqlite3* db = nullptr;
    if (OpenSqlite(found, &db, flags) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        Raise(3051, kDatabaseSource, "Cannot open '" + path + "': " + message);
    }
    sqlite3_busy_handler(db, WaitUntilDeadline, deadline);
    return db;
}

// Runs `sql` on a file's connection; on failure the connection is closed and the failure
// raised, naming the file.
static void Run(sqlite3*& db, const std::string& path, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return;
    std::string message = sqlite3_errmsg(db);
    long number = DaoNumber(sqlite3_extended_errcode(db), message);
    sqlite3_close_v2(std::exchange(db, nullptr));
    Raise(number, kDatabaseSource,
        number == 3218 ? "Could not lock '" + path + "': it is in use by another program."
                       : "Cannot read '" + path + "': " + message);
}

// A copy in memory of the database that `file` reads, as of now.
static Database CopyOf(sqlite3* file, const std::string& path)
{
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(file, "main", &size, 0);
    if (!bytes && size > 0)
        RaiseSqlite(file, kDatabaseSource, "Cannot read '" + path + "'");
    // A file kept in write-ahead-log mode is read whole through its log; the copy holds it all
    // and marks itself so (the header's file format versions 1).
    if (bytes && size > 19 && bytes[18] == 2 && bytes[19] == 2)
        bytes[18] = bytes[19] = 1;
    Database database;
    database.connection.reset(NewConnection(path));
    if (sqlite3_deserialize(database.connection->db, "main", bytes, size, size,
            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE)
        != SQLITE_OK)
        RaiseSqlite(database.connection->db, kDatabaseSource, "Cannot copy '" + path + "'");
    return database;
}

DatabaseLock LockDatabaseFile(const std::string& path, Deadline deadline)
{
    auto locked = std::make_shared<LockedFile>();
    locked->path = path;
    locked->deadline = deadline;
    locked->db = OpenFile(path, SQLITE_OPEN_READWRITE, &locked->deadline);
    // Leaving write-ahead-log mode needs every other connection gone; then the file holds all.
    Run(locked->db, path, "PRAGMA journal_mode=DELETE");
    // Reading the schema takes the lock in full and rolls back a journal left behind. An empty
    // file would be given its first page by a write transaction, and a journal with it: its
    // readers' lock keeps other programs' commits out all the same.
    struct stat info { };
    bool empty = ::stat(ResolvePath(path).c_str(), &info) == 0 && info.st_size == 0;
    Run(locked->db, path,
        empty ? "BEGIN; SELECT count(*) FROM sqlite_schema"
              : "BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_schema");
    return { locked };
}

Database CopyDatabase(DatabaseLock& lock)
{
    if (!lock.file)
        Raise(3420, kDatabaseSource, "Object invalid or no longer set: the lock is released.");
    return CopyOf(lock.file->db, lock.file->path);
}

Database ReadDatabase(const std::string& path, Deadline deadline)
{
    sqlite3* file = OpenFile(path, SQLITE_OPEN_READONLY, &deadline);
    Run(file, path, "BEGIN; SELECT count(*) FROM sqlite_schema");
    try {
        Database copy = CopyOf(file, path);
        sqlite3_close_v2(file);
        return copy;
    } catch (...) {
        sqlite3_close_v2(file);
        throw;
    }
}

}
