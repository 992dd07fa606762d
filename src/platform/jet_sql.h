// Jet SQL texts made fit for SQLite.
#pragma once

#include <string>

namespace platform {

// The SQLite form of a Jet SQL text. Each "..." span is a string literal ("" inside stands for
// one ") and comes out single-quoted with ' doubled; '...' spans keep their value and [...] names
// are copied. Every literal is followed by COLLATE NOCASE, so comparisons with it ignore case as
// in Jet whatever the column's collation. One trailing ";" is dropped. Raises 3075 for an
// unclosed quote or bracket and 3142 for anything but blanks after the ";".
std::string TranslateJetSql(const std::string& jetSql);

}
