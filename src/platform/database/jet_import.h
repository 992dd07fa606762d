// Jet databases (Access 97 to 2003 .mdb files) that projects bring from Windows: recognised by
// their header and read through mdbtools into a private copy of this engine. The copy is written
// in the Jet file's place by whoever saves it; the Jet file is kept beside it then.
#pragma once

#include "platform/database/database.h"

#include <string>

namespace platform {

// True when the file starts with the header of a Jet or ACE database ("Standard Jet DB" or
// "Standard ACE DB" at byte 4).
bool IsJetFile(const std::string& path);

// A private copy of the Jet file's every table: columns in their order under their names, each
// with the DAO type and size nearest to its Jet type, every row with its Nulls, texts as UTF-8.
// Raises 3343 from "DAO.Database", describing what could not be read.
Database ImportJetDatabase(const std::string& path);

// The name beside `path` under which its Jet original is kept when a new file takes its place:
// "<path>.jet", or "<path>.<n>.jet" with the first n from 2 on whose name is free; "" when a file
// of the same bytes is kept there already.
std::string KeptJetName(const std::string& path);

}
