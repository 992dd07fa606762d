#include "diagnostics/error_report.h"

#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/window/message_box.h"
#include "platform/system/process.h"
#include "platform/system/text.h"

using namespace diagnostics;

namespace {

// The last report's error-log line, the mode it came in and how often it came again since.
struct Repeats {
    std::string line;
    bool silent = false;
    long count = 0;
};

Repeats& LastReport()
{
    static Repeats last;
    static bool flushedAtEnd = (platform::AtEnd(WriteRepeatCount), true);
    (void)flushedAtEnd;
    return last;
}

// 2160 as "2,160".
std::string Grouped(long number)
{
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

}

static std::string ErrorLogPath();
static std::string ErrorLogNote();

void diagnostics::WriteRepeatCount()
{
    Repeats& last = LastReport();
    if (last.count == 0) {
        last.line.clear();
        return;
    }
    std::string text = "... repeated " + Grouped(last.count) + " times";
    bool silent = last.silent;
    last = {};
    platform::AppendLine(ErrorLogPath(), text);
    if (silent)
        platform::AppendLine(platform::Process().servicePackLogPath,
            "! Fault " + platform::Process().executableName + ": " + text);
}

int diagnostics::ErrorSub(long number, const std::string& source, const std::string& description,
    const std::string& procedureName, bool fatal)
{
    std::string line = "Fehler in " + diagnostics::GetOCXName() + " / " + source + " / " + procedureName
        + " (Nr. " + std::to_string(number) + ") :" + description;
    bool silent = diagnostics::Modes().SilentMode;
    Repeats& last = LastReport();
    bool repeated = !fatal && line == last.line && silent == last.silent;
    long count = repeated ? last.count + 1 : 0;
    std::string note = repeated ? ErrorLogNote() : WriteErrorLog(line, false);
    std::string text = "Unexpected error!" + std::string(kLfCr) + description + kLfCr + note;
    if (silent && !repeated)
        WriteServicePackLog(text);
    last = { line, silent, count };
    if (silent)
        return kContinue;
    if (fatal) {
        platform::ShowMessageBox({ text, "Fatal error", platform::Buttons::Ok, platform::kCritical });
        return kEndProgram;
    }
    platform::Answer answer = platform::ShowMessageBox({ text + kLfCr + "Resume?", "Unexpected error",
        platform::Buttons::YesNo, platform::kCritical, platform::kYes });
    return answer == platform::kNo ? kEndProgram : kContinue;
}

void diagnostics::EndProgram()
{
    platform::EndProcess(1);
}

// The error log for this start mode.
static std::string ErrorLogPath()
{
    std::string path = Modes().StartModeIntegrated ? Modes().LogfilePath : "";
    // Without a LOGFILE the integrated report still needs somewhere to go.
    if (path.empty())
        path = diagnostics::InstallationFolder() + "/TVXcfglog.txt";
    return path;
}

static std::string ErrorLogNote()
{
    return "Error logged to " + std::string(kLfCr) + platform::UpperCase(ErrorLogPath());
}

std::string diagnostics::WriteErrorLog(const std::string& message, bool alsoShow)
{
    WriteRepeatCount();
    platform::AppendLine(ErrorLogPath(), message);
    std::string note = ErrorLogNote();
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
    platform::ShowMessageBox(
        { message, platform::Process().executableName, platform::Buttons::Ok, platform::kCritical });
}

void diagnostics::WriteServicePackLog(const std::string& message)
{
    WriteRepeatCount();
    platform::AppendLine(platform::Process().servicePackLogPath,
        "! Fault " + platform::Process().executableName + ": " + message);
}
