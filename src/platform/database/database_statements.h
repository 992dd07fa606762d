// Compiled statements of a connection: running them, binding and reading values, and turning
// SQLite's failures into DAO ones.
#pragma once

#include "platform/database/database_connection.h"

#include <memory>
#include <string>

namespace platform {

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

// The DAO number nearest to an SQLite failure; SQL errors are told apart by SQLite's message.
long DaoNumber(int extendedCode, const std::string& message);

// Raises the connection's last SQLite failure as its DAO number, described as `what` and
// SQLite's message.
[[noreturn]] void RaiseSqlite(Connection& c, const char* source, const std::string& what);

// Runs statements that return no rows; raises SQLite's failure.
void Execute(Connection& c, const std::string& sql, const char* source);

// Compiles one statement; empty, with SQLite's error left on the connection, when it fails.
Statement TryPrepare(Connection& c, const std::string& sql);

// The connection's compiled statement for the text, compiled on first use; null, with SQLite's
// error left on the connection, when it does not compile. Cached raises that failure.
sqlite3_stmt* TryCached(Connection& c, const std::string& sql);
sqlite3_stmt* Cached(Connection& c, const std::string& sql, const char* source);

// Finalizes the connection's compiled statements.
void ForgetStatements(Connection& c);

// Resets a statement when its use ends, so that no lock outlives the call.
struct Running {
    sqlite3_stmt* statement;
    ~Running()
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

// Steps the statement: true for a row, false when it is done; raises SQLite's failure.
bool Step(Connection& c, sqlite3_stmt* statement, const char* source);

// Binds a text, or a value as a column of DAO type `type` takes it (binary columns take bytes).
void BindText(sqlite3_stmt* statement, int index, const std::string& text);
void Bind(sqlite3_stmt* statement, int index, const Value& value, int type);

// A result column as bytes ("" for Null), or as the value a column of DAO type `type` reads as.
std::string Text(sqlite3_stmt* statement, int column);
Value ReadValue(sqlite3_stmt* statement, int column, int type);

// The file's schema version as SQLite counts it.
int SchemaVersion(Connection& c);

}
