#include "dialog/closing.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "config/run_claim.h"
#include "diagnostics/abort_question.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "dialog/saving.h"
#include "dialog/window_state.h"
#include "editing/editing_state.h"
#include "editing/help_display.h"
#include "platform/profile/profile.h"
#include "platform/system/exit.h"
#include "platform/system/file_replacement.h"
#include "platform/system/files.h"
#include "platform/window/toolkit.h"
#include "presetdb/extension_driver.h"
#include "presetdb/preset_state.h"

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

[[noreturn]] static void EndWithNothingSaved(const std::string& what)
{
    diagnostics::ShowFault(what + diagnostics::kLfCr + "Nothing was saved.");
    diagnostics::EndProgram();
}

// Before anything is saved: a file that could not be read is never written over, and each file
// to replace must be replaceable; otherwise says so and ends with status 1.
static void EnsureEverythingCanBeSaved()
{
    for (const std::string& file : config::IniFilesMet().FilesNotRead)
        if (file != platform::ResolvePath(config::LanguageFilePath()))
            EndWithNothingSaved("File '" + file + "' could not be read.");
    for (const std::string& file : FilesToReplace())
        if (std::string why = platform::WhyNotReplaceable(file); !why.empty())
            EndWithNothingSaved("File '" + file + "' " + why + ".");
}

// Every failure reported since the OK began decides it, and so does a write to a settings file
// that was refused: nothing built from it is saved.
static void EndUnlessNothingFailed()
{
    if (std::optional<diagnostics::ReportedFailure> failure = diagnostics::FirstWatchedFailure())
        EndWithNothingSaved("Error in " + failure->procedureName + ": " + failure->description);
    for (const std::string& file : { dialog::ProgramIniForSaving(), config::GetCFGPath() })
        if (config::WasNotWritten(file))
            EndWithNothingSaved("File '" + file + "' could not be written.");
}

// Writes the rebuilt databases and the held settings at one moment: all of them or none.
static void SaveEverything(platform::HeldProfileWrites& held)
{
    std::vector<platform::FileUpdate> updates = std::move(presetdb::Presets().Updates);
    for (platform::FileUpdate& update : held.Changes())
        updates.push_back(std::move(update));
    platform::ReplaceFailure failure = platform::ReplaceFiles(updates, config::SaveRecordPath());
    if (!failure.file.empty())
        EndWithNothingSaved("File '" + failure.file + "' " + failure.reason + ".");
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
    // What the steps write waits in memory; the files change together, at the end.
    platform::HeldProfileWrites held;
    diagnostics::WatchReports();
    scope.Run([&] { presetdb::WorkOnMDB(); });
    EndUnlessNothingFailed();
    scope.Run([&] { WriteInputs(); });
    EndUnlessNothingFailed();
    SaveEverything(held);
    scope.Run([&] { platform::SetMousePointer(platform::kDefaultPointer); });
    platform::EndProcess(0);
}
