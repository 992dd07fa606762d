#include "diagnostics/abort_question.h"

#include "config/program_location.h"
#include "diagnostics/error_report.h"
#include "platform/window/message_box.h"
#include "platform/system/process.h"
#include "startup/command_line.h"

bool diagnostics::ConfirmCancel()
{
    const std::string lfcr = kLfCr;
    const std::string quote = "\"";
    std::string text = "Cancel edits?" + lfcr + "Remark:" + lfcr + "Until now no changes have been taken over ";
    if (startup::Modes().StartModeIntegrated) {
        const platform::ProcessFacts& process = platform::Process();
        text += lfcr + quote + config::GetOCXName() + quote + " has to be configured again in " + quote
            + "standalone-mode" + quote + " via " + lfcr + quote + process.programFolder + "/"
            + process.executableName + quote;
    }
    if (startup::Modes().SilentMode) {
        WriteServicePackLog(text);
        return true;
    }
    platform::Answer answer = platform::ShowMessageBox(
        { text, "Cancel?", platform::Buttons::YesNo, platform::kExclamation, platform::kNo });
    if (answer != platform::kYes)
        return false;
    WriteErrorLog("Konfigurations-EXE wurde abgebrochen:     " + config::GetOCXName(), false);
    return true;
}
