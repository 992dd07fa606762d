// Jet SQL texts made fit for SQLite.
#pragma once

#include <sqlite3.h>
#include <string>

namespace platform {

// The collation that compares texts as Jet does: every letter without regard to case, as
// CompareIgnoringCase does. Every connection has it.
inline constexpr const char* kJetTextCollation = "JET_NOCASE";

// Registers the collation on a connection; false when SQLite refuses.
bool AddJetTextCollation(sqlite3* db);

// A Jet SQL text in SQLite's form, with the number of values it takes.
struct TranslatedSql {
    std::string sql;
    int parameters = 0;
};

// The SQLite form of a Jet SQL text. Each "..." span is a string literal ("" inside stands for
// one ") and comes out single-quoted with ' doubled; '...' spans keep their value and [...] names
// are copied. Every string literal, and every "?" that stands for a value, is followed by COLLATE
// JET_NOCASE, so comparisons with it ignore case as in Jet whatever the column's collation.
// Numbers stay as written. One trailing ";" is dropped; "--" and "/*", which Jet reads as
// operators, never open a comment. Raises 3075 for an unclosed quote or bracket and 3142 for
// anything but blanks after the ";".
TranslatedSql TranslateJetSql(const std::string& jetSql);

}
