// The command line and the start modes it selects: integrated, silent or standalone.
#pragma once

#include <optional>
#include <string>

namespace startup {

// The value of `key` in `commandLine`, upper-cased and trimmed of blanks; nothing when the key
// does not occur. The first occurrence counts, anywhere; the one character after the key is the
// separator; the value ends where a "/" begins the next blank-separated word, and a word that
// is itself one of the tool's items (/EXTERNAL..., /LOGFILE...) is never a value. A key at the
// very end, with no separator after it, is reported under "ReadCommand" and gives "".
std::optional<std::string> ReadCommand(const std::string& commandLine, const std::string& key);

// Reads EXTERNAL from the process's arguments and sets both start-mode flags (and, when
// integrated, the log path); true when integrated.
bool GetStartModeIntegrated();

// The LOGFILE value as typed (a path keeps its letter case for file access); "" when absent.
std::string GetPathLogfile();

}
