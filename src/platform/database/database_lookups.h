// Indexes the engine makes for itself on the columns that repeated look-ups compare with values,
// so that each finds its rows without reading the whole table. They exist only inside the file's
// open transaction: they are dropped before the transaction ends, and a transaction that holds
// nothing else is rolled back, so the file on disk never has them. Their names, led by
// "lobix!lookup", cannot be given by Jet, whose names have no "!".
#pragma once

#include "platform/database/database_connection.h"
#include "platform/database/jet_sql.h"

#include <string>
#include <vector>

namespace platform {

// Notes that a record-set query with these look-ups ran, and `scanned` whether it read a whole
// table. A look-up names its table, or else is on `ownTable`, the record set's table. When the
// same kind of look-up on a table (the same columns compared the same way) scans a second time,
// an index on those columns is made in the file's transaction, started for it where none is
// open. An index SQLite refuses is done without, unless the refusal lost the caller's changes:
// then that failure is raised.
void NoteLookups(
    Connection& c, const std::string& ownTable, const std::vector<Lookup>& lookups, bool scanned);

// Drops the indexes made in the open transaction; false, with SQLite's error left on the
// connection, when SQLite refuses.
bool DropLookupIndexes(Connection& c);

// Forgets the indexes once their transaction has ended; look-ups seen before still count.
void ForgetLookupIndexes(Connection& c);

}
