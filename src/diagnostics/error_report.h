// The central error report, the error log and the service-pack log.
#pragma once

#include <optional>
#include <string>

namespace diagnostics {

// Line break inside messages: a line feed followed by a carriage return, in that order.
inline constexpr const char* kLfCr = "\n\r";

enum ErrorAnswer { kEndProgram = 1, kContinue = 2 };

// Logs the failure line, then reports it: silent, to the service-pack log (always continue);
// fatal, in a box without choice (end); otherwise in a box that asks "Resume?", logged before it
// is shown. A silent loop whose every pass fails the same way would fill the logs with one line
// thousands of times: a silent report that repeats the one before it, word for word, is counted
// instead of logged, and the count goes to each log as "... repeated 2,160 times" before the next
// line of that log or at the end.
int ErrorSub(long number, const std::string& source, const std::string& description,
    const std::string& procedureName, bool fatal);

// A failure that was reported: the procedure that met it and its description.
struct ReportedFailure {
    std::string procedureName;
    std::string description;
};

// What the reports of the run have been: the last silent one's error-log line and how often it
// came again since, whether reports are watched, and the first failure since the watch began.
struct ReportState {
    std::string line;
    long repeats = 0;
    bool watching = false;
    std::optional<ReportedFailure> firstWatched;
};

ReportState& Reports();

// Starts watching the reports: FirstWatchedFailure then tells the first one made since.
void WatchReports();
std::optional<ReportedFailure> FirstWatchedFailure();

// Writes the count of the last report's repeats to the logs, if it has any; the next report
// starts a new count. The program registers it to run however it ends.
void WriteRepeatCount();

// Ends the program at once with status 1.
[[noreturn]] void EndProgram();

// Appends `message` as one line to the error log; returns the note "Error logged to " with the
// upper-cased log path, or "" when `alsoShow` (the note is then shown through ShowFault). When
// the log cannot be written, the note says so on a line of its own; the program goes on.
std::string WriteErrorLog(const std::string& message, bool alsoShow);

// A plain fault message: a critical box titled with the executable name, or in silent mode a
// service-pack log line.
void ShowFault(const std::string& message);

// Appends "! Fault " & executable name & ": " & message to the service-pack log.
void WriteServicePackLog(const std::string& message);

}
