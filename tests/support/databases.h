// Databases for tests, made and read with SQLite directly, apart from the program's own layer.
#pragma once

#include "support/installation.h"

#include <string>
#include <vector>

namespace testing_support {

// Lobix/Lobix_Source.mdb and Lobix/Lobix.mdb as the demo script makes them: 520 template rows,
// and old presets of `machines` (comma-separated) named in `oldForm` ("visiwin32" or "studio").
void MakeDatabases(const TempInstallation& installation, const std::string& machines, const std::string& oldForm);

// Runs SQL statements on a database file; throws on failure.
void Sql(const std::string& path, const std::string& statements);

// The rows of a query, each as its columns' texts joined by "|" (Null as "NULL").
std::vector<std::string> Rows(const std::string& path, const std::string& query);

}
