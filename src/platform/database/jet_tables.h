// The tables of a Jet file copied into a new database file of this engine.
#pragma once

#include "platform/database/database_connection.h"
#include "platform/system/failure.h"

#include <string>

namespace platform {

// What of a Jet file could not be read or written; the caller names the file.
[[noreturn]] inline void JetUnreadable(const std::string& what)
{
    Raise(3343, kDatabaseSource, what);
}

// Writes every user table of the Jet file `jetPath` (`jetSize` bytes long) into the empty
// database of `c`, in one transaction. Raises through JetUnreadable what cannot be read.
void CopyJetTables(const std::string& jetPath, long long jetSize, Connection& c);

}
