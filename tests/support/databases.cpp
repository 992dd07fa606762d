#include "support/databases.h"

#include <cstdlib>
#include <sqlite3.h>
#include <stdexcept>

namespace testing_support {

void MakeDatabases(
    const TempInstallation& installation, const std::string& machines, const std::string& oldForm)
{
    std::string command = std::string("bash '") + LOBIX_SOURCE_DIR
        + "/scripts/make-demo-databases' '" + installation.Path("Lobix") + "' '" + machines + "' "
        + oldForm;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("could not make the databases");
}

std::vector<std::string> Rows(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    std::string error;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        error = "cannot open " + path;
    for (const char* next = statements.c_str(); error.empty() && *next;) {
        sqlite3_stmt* statement = nullptr;
        int result = sqlite3_prepare_v2(db, next, -1, &statement, &next);
        while (statement && (result = sqlite3_step(statement)) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const unsigned char* text = sqlite3_column_text(statement, i);
                row += (i ? "|" : "")
                    + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            rows.push_back(row);
        }
        if (result != SQLITE_OK && result != SQLITE_DONE)
            error = sqlite3_errmsg(db);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    if (!error.empty())
        throw std::runtime_error(error);
    return rows;
}

void Sql(const std::string& path, const std::string& statements) { Rows(path, statements); }

}
