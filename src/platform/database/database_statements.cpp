#include "platform/database/database_statements.h"

#include "platform/system/failure.h"

namespace platform {

long DaoNumber(int extendedCode, const std::string& message)
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

void RaiseSqlite(sqlite3* db, const char* source, const std::string& what)
{
    std::string message = sqlite3_errmsg(db);
    Raise(DaoNumber(sqlite3_extended_errcode(db), message), source, what + ": " + message);
}

void Execute(sqlite3* db, const std::string& sql, const char* source)
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseSqlite(db, source, "Cannot run " + sql);
}

Statement TryPrepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &statement, nullptr);
    return Statement(statement);
}

Statement Prepare(sqlite3* db, const std::string& sql, const char* source)
{
    Statement statement = TryPrepare(db, sql);
    if (!statement)
        RaiseSqlite(db, source, "Cannot run " + sql);
    return statement;
}

bool Step(sqlite3_stmt* statement, const char* source)
{
    int result = sqlite3_step(statement);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        RaiseSqlite(sqlite3_db_handle(statement), source,
            std::string("Cannot run ") + sqlite3_sql(statement));
    return result == SQLITE_ROW;
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text)
{
    sqlite3_bind_text(statement, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void Bind(sqlite3_stmt* statement, int index, const Value& value, int type)
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

std::string Text(sqlite3_stmt* statement, int column)
{
    auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return bytes ? std::string(bytes, sqlite3_column_bytes(statement, column)) : std::string();
}

Value ReadValue(sqlite3_stmt* statement, int column, int type)
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

}
