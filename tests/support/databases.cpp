#include "support/databases.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
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

std::string JetFile(const std::string& name)
{
    std::ifstream file(std::string(LOBIX_SOURCE_DIR) + "/tests/data/jet/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), {} };
}

std::vector<std::string> Rows(const std::string& path, const std::string& statements)
{
    std::vector<std::string> rows;
    auto collect = [](void* rows, int columns, char** texts, char**) {
        std::string row;
        for (int i = 0; i < columns; ++i)
            row += (i ? "|" : "") + std::string(texts[i] ? texts[i] : "NULL");
        static_cast<std::vector<std::string>*>(rows)->push_back(row);
        return 0;
    };
    sqlite3* db = nullptr;
    char* error = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        error = sqlite3_mprintf("cannot open %s", path.c_str());
    else
        sqlite3_exec(db, statements.c_str(), collect, &rows, &error);
    sqlite3_close(db);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    if (!message.empty())
        throw std::runtime_error(message);
    return rows;
}

}
