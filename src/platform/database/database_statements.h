// Compiled statements of a connection: running them, binding and reading values, and turning
// SQLite's failures into DAO ones.
#pragma once

#include "platform/database/database_connection.h"
#include "platform/database/database_values.h"

#include <memory>
#include <string>

namespace platform {

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

// The DAO number nearest to an SQLite failure; SQL errors are told apart by SQLite's message.
long DaoNumber(int extendedCode, const std::string& message);

// Raises the last SQLite failure of `db` as its DAO number, described as `what` and SQLite's
// message.
[[noreturn]] void RaiseSqlite(sqlite3* db, const char* source, const std::string& what);

// Runs statements that return no rows; raises SQLite's failure.
void Execute(sqlite3* db, const std::string& sql, const char* source);

// Compiles one statement; empty, with SQLite's error left on the connection, when it fails.
Statement TryPrepare(sqlite3* db, const std::string& sql);

// Compiles one statement; raises SQLite's failure.
Statement Prepare(sqlite3* db, const std::string& sql, const char* source);

// Resets a statement when its use ends, so that it holds nothing between uses.
struct Running {
    sqlite3_stmt* statement;
    ~Running()
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

// Steps the statement: true for a row, false when it is done; raises SQLite's failure.
bool Step(sqlite3_stmt* statement, const char* source);

// Binds a text, or a value as a column of DAO type `type` takes it (binary columns take bytes).
void BindText(sqlite3_stmt* statement, int index, const std::string& text);
void Bind(sqlite3_stmt* statement, int index, const Value& value, int type);

// A result column as bytes ("" for Null), or as the value a column of DAO type `type` reads as.
std::string Text(sqlite3_stmt* statement, int column);
Value ReadValue(sqlite3_stmt* statement, int column, int type);

}
