#include "diagnostics/error_report.h"

#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/text.h"
#include "platform/window/message_box.h"

using namespace diagnostics;

namespace {

// 2160 as "2,160".
std::string Grouped(long number)
{
    std::string digits = std::to_string(number), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

}

static std::string ErrorLogPath();
static std::string ErrorLogNote(bool logged);

// Appends the service-pack log's line for `message`: "! Fault " & executable name & ": " & message.
static void AppendServicePackLine(const std::string& message)
{
    platform::AppendLine(platform::Process().servicePackLogPath,
        "! Fault " + platform::Process().executableName + ": " + message);
}

ReportState& diagnostics::Reports()
{
    static ReportState reports;
    return reports;
}

void diagnostics::WriteRepeatCount()
{
    ReportState& reports = Reports();
    reports.line.clear();
    if (reports.repeats == 0)
        return;
    std::string text = "... repeated " + Grouped(reports.repeats) + " times";
    reports.repeats = 0;
    platform::AppendLine(ErrorLogPath(), text);
    AppendServicePackLine(text);
}

int diagnostics::ErrorSub(long number, const std::string& source, const std::string& description,
    const std::string& procedureName, bool fatal)
{
    std::string line = "Fehler in " + diagnostics::GetOCXName() + " / " + source + " / "
        + procedureName + " (Nr. " + std::to_string(number) + ") :" + description;
    ReportState& reports = Reports();
    if (reports.watching && !reports.firstWatched)
        reports.firstWatched = ReportedFailure { procedureName, description };
    bool silent = diagnostics::Modes().SilentMode;
    if (silent && !fatal && line == reports.line) {
        ++reports.repeats;
        return kContinue;
    }
    std::string note = WriteErrorLog(line, false);
    std::string text = "Unexpected error!" + std::string(kLfCr) + description + kLfCr + note;
    if (silent) {
        WriteServicePackLog(text);
        reports.line = line;
        return kContinue;
    }
    if (fatal) {
        platform::ShowMessageBox(
            { text, "Fatal error", platform::Buttons::Ok, platform::kCritical });
        return kEndProgram;
    }
    platform::Answer answer = platform::ShowMessageBox({ text + kLfCr + "Resume?",
        "Unexpected error", platform::Buttons::YesNo, platform::kCritical, platform::kYes });
    return answer == platform::kNo ? kEndProgram : kContinue;
}

void diagnostics::WatchReports()
{
    Reports().watching = true;
    Reports().firstWatched.reset();
}

std::optional<ReportedFailure> diagnostics::FirstWatchedFailure() { return Reports().firstWatched; }

void diagnostics::EndProgram() { platform::EndProcess(1); }

// The error log for this start mode.
static std::string ErrorLogPath()
{
    std::string path = Modes().StartModeIntegrated ? Modes().LogfilePath : "";
    // Without a LOGFILE the integrated report still needs somewhere to go.
    if (path.empty())
        path = diagnostics::InstallationFolder() + "/TVXcfglog.txt";
    return path;
}

static std::string ErrorLogNote(bool logged)
{
    std::string note
        = "Error logged to " + std::string(kLfCr) + platform::UpperCase(ErrorLogPath());
    return logged ? note : note + kLfCr + "The log file could not be written.";
}

std::string diagnostics::WriteErrorLog(const std::string& message, bool alsoShow)
{
    WriteRepeatCount();
    std::string note = ErrorLogNote(platform::AppendLine(ErrorLogPath(), message));
    if (!alsoShow)
        return note;
    ShowFault(note);
    return "";
}

void diagnostics::ShowFault(const std::string& message)
{
    if (diagnostics::Modes().SilentMode) {
        WriteServicePackLog(message);
        return;
    }
    platform::ShowMessageBox({ message, platform::Process().executableName, platform::Buttons::Ok,
        platform::kCritical });
}

void diagnostics::WriteServicePackLog(const std::string& message)
{
    WriteRepeatCount();
    AppendServicePackLine(message);
}
