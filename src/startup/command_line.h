// The command line and the start modes it selects: integrated, silent or standalone. It is read
// once, before anything else of the run, so that silent mode is known before anything reports.
#pragma once

#include <optional>
#include <string>

namespace startup {

// The value of `key` in `commandLine`, upper-cased and trimmed of blanks; nothing when the key
// does not occur. The first occurrence counts, anywhere; the one character after the key is the
// separator; the value ends where a "/" begins the next blank-separated word, and a word that
// is itself one of the tool's items (/EXTERNAL..., /LOGFILE...) is never a value. A key at the
// very end, with no separator after it, raises "Invalid procedure call or argument" (5).
std::optional<std::string> ReadCommand(const std::string& commandLine, const std::string& key);

// Reads EXTERNAL and LOGFILE from the process's arguments, once each, and sets the start-mode
// flags. A key that cannot be read counts as "" and its failure is kept for
// ReportCommandLineFailures: nothing is reported yet.
void DecideStartMode();

// Reports, under "ReadCommand", each key that could not be read, once the program can report.
void ReportCommandLineFailures();

// The start mode (decided at the first call when not yet); true when integrated.
bool GetStartModeIntegrated();

// The LOGFILE value as typed (a path keeps its letter case for file access); "" when absent.
std::string GetPathLogfile();

}
