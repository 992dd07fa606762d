// Jet databases (Access 97 to 2003 .mdb files) that projects bring from Windows: recognised by
// their header and imported once into a database file of this engine, read through mdbtools.
#pragma once

#include <string>

namespace platform {

// True when the file starts with the header of a Jet or ACE database ("Standard Jet DB" or
// "Standard ACE DB" at byte 4).
bool IsJetFile(const std::string& path);

// Replaces the Jet file at `path` by a database of this engine with every table of it: columns
// in their order under their names, each with the DAO type and size nearest to its Jet type,
// every row with its Nulls, texts as UTF-8. The new file keeps the Jet file's last-write time and
// permissions; the Jet file stays beside it, unchanged, as "<path>.jet" (or "<path>.<n>.jet" when
// a different original already has that name). When anything cannot be read or written, raises
// 3343 from "DAO.Database" with a description of what failed, and every file stays as it was.
void ImportJetDatabase(const std::string& path);

}
