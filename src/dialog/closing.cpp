#include "dialog/closing.h"

#include "config/installation_paths.h"
#include "diagnostics/abort_question.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "config/cam_settings.h"
#include "dialog/saving.h"
#include "dialog/window_state.h"
#include "editing/editing_state.h"
#include "editing/help_display.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/window/toolkit.h"
#include "presetdb/extension_driver.h"

#include <string>
#include <vector>

void dialog::CommandOK_Click()
{
    diagnostics::ErrorScope scope("CommandOK_Click");
    platform::Control& ok = *platform::FindControl("CommandOK");
    if (editing::State().HelpMode) {
        scope.Run([&] { editing::ShowHelpText(ok); });
        return;
    }
    scope.Run([&] { ok.SetEnabled(false); });
    scope.Run([&] { platform::FindControl("CommandCancel")->SetEnabled(false); });
    scope.Run([&] { CloseMe(); });
}

void dialog::CommandCancel_Click()
{
    diagnostics::ErrorScope scope("CommandCancel_Click");
    if (editing::State().HelpMode) {
        scope.Run([&] { editing::ShowHelpText(*platform::FindControl("CommandCancel")); });
        return;
    }
    scope.Run([&] {
        if (diagnostics::ConfirmCancel())
            platform::EndProcess(0);
    });
}

void dialog::Form_QueryUnload(bool& cancel)
{
    diagnostics::ErrorScope scope("Form_QueryUnload");
    if (Window().OkSequenceRunning) {
        cancel = true;
        return;
    }
    scope.Run([&] { cancel = !diagnostics::ConfirmCancel(); });
}

// The files the OK sequence replaces, in the order it replaces them.
static std::vector<std::string> FilesToReplace()
{
    std::vector<std::string> files;
    if (std::string source = config::GetPathSourceOCXMDB(); !source.empty())
        files = { source, config::GetPathOCXMDB() };
    files.push_back(dialog::ProgramIniForSaving());
    files.push_back(config::GetCFGPath());
    return files;
}

// Before anything is replaced: when one of the files cannot be, says so and ends with status 1.
static void EnsureEverythingCanBeSaved()
{
    for (const std::string& file : FilesToReplace())
        if (!platform::CanReplaceFile(file)) {
            diagnostics::ShowFault(
                "File '" + file + "' cannot be written." + diagnostics::kLfCr + "Nothing was saved.");
            diagnostics::EndProgram();
        }
}

void dialog::CloseMe()
{
    diagnostics::ErrorScope scope("CloseMe");
    Window().OkSequenceRunning = true;
    // Without a window there is nothing to redraw.
    if (!diagnostics::Modes().SilentMode)
        scope.Run([&] { platform::ProcessPendingMessages(); });
    scope.Run([&] { platform::SetMousePointer(platform::kHourglassPointer); });
    scope.Run([&] { EnsureEverythingCanBeSaved(); });
    scope.Run([&] { presetdb::WorkOnMDB(); });
    scope.Run([&] { WriteInputs(); });
    scope.Run([&] { platform::SetMousePointer(platform::kDefaultPointer); });
    platform::EndProcess(0);
}
