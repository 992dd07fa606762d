#include "diagnostics/abort_question.h"

#include "diagnostics/error_report.h"
#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/system/process.h"
#include "platform/window/message_box.h"

bool diagnostics::ConfirmCancel()
{
    const std::string lfcr = kLfCr;
    const std::string quote = "\"";
    std::string text
        = "Cancel edits?" + lfcr + "Remark:" + lfcr + "Until now no changes have been taken over ";
    if (diagnostics::Modes().StartModeIntegrated) {
        const platform::ProcessFacts& process = platform::Process();
        text += lfcr + quote + diagnostics::GetOCXName() + quote + " has to be configured again in "
            + quote + "standalone-mode" + quote + " via " + lfcr + quote + process.programFolder
            + "/" + process.executableName + quote;
    }
    if (diagnostics::Modes().SilentMode) {
        WriteServicePackLog(text);
        return true;
    }
    platform::Answer answer = platform::ShowMessageBox(
        { text, "Cancel?", platform::Buttons::YesNo, platform::kExclamation, platform::kNo });
    if (answer != platform::kYes)
        return false;
    WriteErrorLog("Konfigurations-EXE wurde abgebrochen:     " + diagnostics::GetOCXName(), false);
    return true;
}
