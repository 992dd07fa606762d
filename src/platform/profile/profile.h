// The three private-profile (INI) functions, with the behaviour of their Windows originals:
// sections and keys matched without regard to case, the first match wins, every line the call
// does not change kept byte for byte. Files are 8-bit text; nothing is re-encoded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The value of `key` in `section` (blanks trimmed, one pair of outer quotes removed), or
// `defaultValue` with its trailing spaces cut when the file, section or key is missing. The
// result is cut to `bufferSize` - 1 characters, as the original copies into a buffer.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
    const std::string& defaultValue, int bufferSize, const std::string& file);

// The value read as a decimal integer (low 32 bits kept, reading stops at the first non-digit,
// no digits give 0); `defaultValue` when the entry is missing or empty.
std::uint32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
    int defaultValue, const std::string& file);

// The entry's value as GetPrivateProfileString gives it, not cut to a buffer; nothing when the
// file, section or key is missing. An entry present with an empty value gives "".
std::optional<std::string> GetPrivateProfileEntry(
    const std::string& section, const std::string& key, const std::string& file);

// Writes or replaces the entry, creating the file and the section as needed; CR LF line ends,
// new content through a temporary file and a rename. False when the file cannot be written.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
    const std::string& value, const std::string& file);

// While one exists, the functions above work on an in-memory copy of each file, read once when
// first touched: reads see the writes made since, and nothing reaches the disk. A write that the
// file would refuse is refused at once, as without the hold. Store() writes every changed file
// once and ends the hold; ending it without Store() drops the writes.
class HeldProfileWrites {
public:
    HeldProfileWrites();
    ~HeldProfileWrites();
    HeldProfileWrites(const HeldProfileWrites&) = delete;
    HeldProfileWrites& operator=(const HeldProfileWrites&) = delete;

    // Every temporary file is written and synced before the first rename (ReplaceFileContents),
    // so a file that cannot be written leaves every file as it was. Returns the path of the
    // file that could not be written, "" when all were stored.
    std::string Store();
};

}
