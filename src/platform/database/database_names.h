// Names and declared types of the engine's tables and columns.
#pragma once

#include "platform/database/database_values.h"

#include <string>

namespace platform {

// The name as an SQLite identifier in double quotes, any " inside doubled.
std::string Quote(const std::string& identifier);

// The declared type that keeps the column's DAO type and size; raises 3259 for an unknown type.
std::string DeclaredType(const FieldDef& field);

// The column `name` with the DAO type and size its declared type stands for.
FieldDef FieldOf(std::string name, const std::string& declared);

}
