#include "support/databases.h"

#include <cstdlib>
#include <sqlite3.h>
#include <stdexcept>

namespace testing_support {

void MakeDatabases(const TempInstallation& installation, const std::string& machines, const std::string& oldForm)
{
    std::string command = std::string("bash '") + LOBIX_SOURCE_DIR + "/scripts/make-demo-databases' '"
        + installation.Path("Lobix") + "' '" + machines + "' " + oldForm;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("could not make the databases");
}

static sqlite3* Open(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    return db;
}

void Sql(const std::string& path, const std::string& statements)
{
    sqlite3* db = Open(path);
    char* error = nullptr;
    int result = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (result != SQLITE_OK)
        throw std::runtime_error(message);
}

std::vector<std::string> Rows(const std::string& path, const std::string& query)
{
    sqlite3* db = Open(path);
    sqlite3_stmt* statement = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error(message);
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const unsigned char* text = sqlite3_column_text(statement, i);
            row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

}
