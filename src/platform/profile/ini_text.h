// The INI functions' work on a file's bytes: finding an entry and splicing one in. Sections and
// keys match without regard to case, names lose their outer spaces, the first match wins.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Where a text's sections and entries lie: made by one scan of it, and kept up to date by the
// splices made through it, so that many look-ups and writes in one text cost one scan. Only the
// first section of a name counts, and in it the first key line of a name.
struct IniIndex {
    struct Key {
        size_t lineBegin = 0, lineEnd = 0; // the line, its line break included
        size_t nameBegin = 0, nameLength = 0; // the key as the line spells it
        size_t valueBegin = 0, valueLength = 0; // blanks trimmed
    };
    struct Section {
        size_t insertAt = 0; // after its last entry line, or after its header when it has none
        std::map<std::string, Key> keys; // by folded name
    };
    std::map<std::string, Section> sections; // by folded name
};

IniIndex IndexIni(std::string_view content);

// The entry's value (blanks trimmed, one pair of outer quotes removed); nothing when the section
// or key is missing.
std::optional<std::string> IniValue(std::string_view content, const IniIndex& index,
    std::string_view section, std::string_view key);
std::optional<std::string> IniValue(
    std::string_view content, std::string_view section, std::string_view key);

// Writes or replaces the entry, adding the section at the end when it is missing; CR LF line ends.
void SpliceIniValue(std::string& content, IniIndex& index, std::string_view section,
    std::string_view key, const std::string& value);
void SpliceIniValue(
    std::string& content, std::string_view section, std::string_view key, const std::string& value);

// Decimal only, as Windows converts: no overflow check, the low 32 bits remain.
std::uint32_t ParseIniDecimal(std::string_view text);

}
