// Reading and writing INI entries with the program's defaults and text forms. A missing file,
// section or entry reads as "", -1 or false; nothing is reported unless asked for. A file that is
// there but cannot be read is reported once, by the read that meets it, and remembered
// (FilesNotRead): its entries read as missing from then on, and it is never written.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace config {

// A value to save, carrying its own type; std::monostate stands for any type SaveIni refuses.
using IniValue
    = std::variant<std::monostate, short, int, float, double, unsigned char, std::string, bool>;

// The entry's value, at most 254 characters; "" when missing or empty.
std::string LoadIniString(const std::string& section, const std::string& entry,
    const std::string& file, bool reportMissing);

// The entry as a 16-bit integer; -1 when missing. A value beyond 16 bits is an overflow that
// goes to the error report (the result is then 0).
short LoadIniInteger(const std::string& section, const std::string& entry, const std::string& file,
    bool reportMissing);

// True only when the value is TRUE in any letter case.
bool LoadIniBoolean(const std::string& section, const std::string& entry, const std::string& file,
    bool reportMissing);

// The entry as stored, not cut to a buffer; nothing when it is missing. A file that cannot be
// read raises its failure once and reads as missing from then on.
std::optional<std::string> LoadIniEntry(
    const std::string& section, const std::string& entry, const std::string& file);

// What the INI access remembers of the run's files, as found on disk: those found but not read,
// in the order they were met, and those a SaveIni to was refused (SaveIni itself reports nothing).
struct IniFiles {
    std::vector<std::string> FilesNotRead;
    std::vector<std::string> FilesNotWritten;
};

IniFiles& IniFilesMet();
bool WasNotRead(const std::string& file);
bool WasNotWritten(const std::string& file);

// Writes the value in the program's text form: numbers locale-independent (.5, -5, 1E+20),
// Booleans "true"/"false", strings unchanged. Non-zero when the write succeeded. A refused type
// shows "Ini Save:  wrong data type" and writes nothing.
int SaveIni(const IniValue& value, const std::string& section, const std::string& entry,
    const std::string& file);

}
