#include "diagnostics/error_report.h"

#include "config/program_location.h"
#include "platform/exit.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/text.h"
#include "startup/command_line.h"

using namespace diagnostics;

int diagnostics::ErrorSub(long number, const std::string& source, const std::string& description,
    const std::string& procedureName, bool fatal)
{
    std::string line = "Fehler in " + config::GetOCXName() + " / " + source + " / " + procedureName
        + " (Nr. " + std::to_string(number) + ") :" + description;
    std::string note = WriteErrorLog(line, false);
    std::string text = "Unexpected error!" + std::string(kLfCr) + description + kLfCr + note;
    if (startup::Modes().SilentMode) {
        WriteServicePackLog(text);
        return kContinue;
    }
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
    std::string path;
    if (startup::Modes().StartModeIntegrated)
        path = startup::GetPathLogfile();
    // Without a LOGFILE the integrated report still needs somewhere to go.
    if (path.empty())
        path = config::InstallationFolder() + "/TVXcfglog.txt";
    return path;
}

std::string diagnostics::WriteErrorLog(const std::string& message, bool alsoShow)
{
    std::string path = ErrorLogPath();
    platform::AppendLine(path, message);
    std::string note = "Error logged to " + std::string(kLfCr) + platform::UpperCase(path);
    if (!alsoShow)
        return note;
    ShowFault(note);
    return "";
}

void diagnostics::ShowFault(const std::string& message)
{
    if (startup::Modes().SilentMode) {
        WriteServicePackLog(message);
        return;
    }
    platform::ShowMessageBox(
        { message, platform::Process().executableName, platform::Buttons::Ok, platform::kCritical });
}

void diagnostics::WriteServicePackLog(const std::string& message)
{
    platform::AppendLine(platform::Process().servicePackLogPath,
        "! Fault " + platform::Process().executableName + ": " + message);
}
