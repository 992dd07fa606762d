// The INI functions' work on a file's bytes: finding an entry and splicing one in. Sections and
// keys match without regard to case, names lose their outer spaces, the first match wins.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The entry's value (blanks trimmed, one pair of outer quotes removed); nothing when the section
// or key is missing.
std::optional<std::string> IniValue(
    std::string_view content, std::string_view section, std::string_view key);

// Writes or replaces the entry, adding the section at the end when it is missing; CR LF line ends.
void SpliceIniValue(
    std::string& content, std::string_view section, std::string_view key, const std::string& value);

// Decimal only, as Windows converts: no overflow check, the low 32 bits remain.
std::uint32_t ParseIniDecimal(std::string_view text);

}
