// Jet SQL texts made fit for SQLite.
#pragma once

#include "platform/database/database_values.h"

#include <sqlite3.h>
#include <string>
#include <vector>

namespace platform {

// The collation that compares texts as Jet does: every letter without regard to case, as
// CompareIgnoringCase does. Every connection has it.
inline constexpr const char* kJetTextCollation = "JET_NOCASE";

// Registers the collation on a connection; false when SQLite refuses.
bool AddJetTextCollation(sqlite3* db);

// A column compared by "=" with a literal after a WHERE: `T.col="x"`, `(T.col)=7`, `[col]="x"`.
struct Lookup {
    std::string table; // the name before the column's dot as written, brackets taken off; or ""
    std::string column;
    Value value; // the literal: a text, or a whole or decimal number
    bool operator==(const Lookup&) const = default;
};

// A Jet SQL text in SQLite's form. Parameter ?N stands for lookups[N - 1].value, so texts that
// differ only in the values they look up read the same.
struct TranslatedSql {
    std::string sql;
    std::vector<Lookup> lookups;
};

// The SQLite form of a Jet SQL text. Each "..." span is a string literal ("" inside stands for
// one ") and comes out single-quoted with ' doubled; '...' spans keep their value and [...] names
// are copied. Every string literal or parameter for one is followed by COLLATE JET_NOCASE, so
// comparisons with it ignore case as in Jet whatever the column's collation. Literals of look-ups
// become parameters; numbers elsewhere stay as written. One trailing ";" is dropped; "--" and "/*",
// which Jet reads as operators, never open a comment. Raises 3075 for an unclosed quote or bracket
// and 3142 for anything but blanks after the ";".
TranslatedSql TranslateJetSql(const std::string& jetSql);

}
