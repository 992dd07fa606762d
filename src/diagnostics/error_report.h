// The central error report, the error log and the service-pack log.
#pragma once

#include <string>

namespace diagnostics {

// Line break inside messages: a line feed followed by a carriage return, in that order.
inline constexpr const char* kLfCr = "\n\r";

enum ErrorAnswer { kEndProgram = 1, kContinue = 2 };

// Logs the failure line, then reports it: silent, to the service-pack log (always continue);
// fatal, in a box without choice (end); otherwise in a box that asks "Resume?".
int ErrorSub(long number, const std::string& source, const std::string& description,
    const std::string& procedureName, bool fatal);

// Ends the program at once with status 1.
[[noreturn]] void EndProgram();

// Appends `message` as one line to the error log; returns the note "Error logged to " with the
// upper-cased log path, or "" when `alsoShow` (the note is then shown through ShowFault). A log
// that cannot be written is passed over.
std::string WriteErrorLog(const std::string& message, bool alsoShow);

// A plain fault message: a critical box titled with the executable name, or in silent mode a
// service-pack log line.
void ShowFault(const std::string& message);

// Appends "! Fault " & executable name & ": " & message to the service-pack log.
void WriteServicePackLog(const std::string& message);

}
