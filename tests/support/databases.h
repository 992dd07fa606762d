// Databases for tests, made and read with SQLite directly, apart from the program's own layer.
#pragma once

#include "support/installation.h"

#include <string>
#include <vector>

namespace testing_support {

// Lobix/Lobix_Source.mdb and Lobix/Lobix.mdb as the demo script makes them: 520 template rows,
// and old presets of `machines` (comma-separated) named in `oldForm` ("visiwin32" or "studio").
void MakeDatabases(
    const TempInstallation& installation, const std::string& machines, const std::string& oldForm);

// Runs the SQL statements on a database file and returns the rows they yield, each as its
// columns' texts joined by "|" (Null as "NULL"); throws on failure.
std::vector<std::string> Rows(const std::string& path, const std::string& statements);

// The bytes of a Jet file of tests/data/jet, as brought from Windows projects.
std::string JetFile(const std::string& name);

// The same, for statements that yield no rows.
inline void Sql(const std::string& path, const std::string& statements) { Rows(path, statements); }

}
