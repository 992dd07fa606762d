// The three private-profile (INI) functions, with the behaviour of their Windows originals:
// sections and keys matched without regard to case, the first match wins, every line the call
// does not change kept byte for byte. Files are 8-bit text and nothing is re-encoded, but for a
// file that starts with the UTF-16LE byte-order mark: it is read as UTF-16 and written so.
//
// A missing file reads as an empty one. A file that is there but cannot be read raises its
// failure (files.h: ReadExistingFile) from the reads, and is never written over.
#pragma once

#include "platform/system/file_replacement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The value of `key` in `section` (blanks trimmed, one pair of outer quotes removed), or
// `defaultValue` with its trailing spaces cut when the file, section or key is missing. The
// result is cut to `bufferSize` - 1 characters, as the original copies into a buffer.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
    const std::string& defaultValue, int bufferSize, const std::string& file);

// The value read as a decimal integer (low 32 bits kept, reading stops at the first non-digit,
// no digits give 0); `defaultValue` when the entry is missing or empty.
std::uint32_t GetPrivateProfileInt(
    const std::string& section, const std::string& key, int defaultValue, const std::string& file);

// The entry's value as GetPrivateProfileString gives it, not cut to a buffer; nothing when the
// file, section or key is missing. An entry present with an empty value gives "".
std::optional<std::string> GetPrivateProfileEntry(
    const std::string& section, const std::string& key, const std::string& file);

// Writes or replaces the entry, creating the file and the section as needed; CR LF line ends,
// new content through a temporary file and a rename. False when the file cannot be written or
// could not be read.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
    const std::string& value, const std::string& file);

// While one exists, the functions above work on an in-memory copy of each file, read once when
// first touched: reads see the writes made since, and nothing reaches the disk. A write that the
// file would refuse is refused at once, as without the hold. A hold made while another exists
// joins it: only the first one decides what reaches the disk.
class HeldProfileWrites {
public:
    HeldProfileWrites();
    ~HeldProfileWrites();
    HeldProfileWrites(const HeldProfileWrites&) = delete;
    HeldProfileWrites& operator=(const HeldProfileWrites&) = delete;

    // The changed files with their new content, for the caller to write; ends the hold. A
    // joined hold gives none.
    std::vector<FileUpdate> Changes();

    // Writes every changed file, each replaced once (ReplaceFiles), and ends the hold. A joined
    // hold writes nothing. Returns the failure that stopped it.
    ReplaceFailure Store();

private:
    bool joined_;
};

}
