#include "config/run_claim.h"

#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/program_location.h"
#include "platform/system/file_replacement.h"
#include "platform/system/folder_lock.h"
#include "platform/system/process.h"
#include "platform/system/temporary_files.h"

#include <chrono>

// Long enough for another run's save to end, short enough for a host that waits on this one.
static constexpr std::chrono::seconds kWaitForAnotherRun { 5 };

std::string config::SaveRecordPath() { return ComponentFilePath(".commit"); }

void config::ClaimInstallation()
{
    const std::string installation = diagnostics::InstallationFolder();
    // Where no lock can be had (no such folder, no locks on its file system), nothing is waited
    // for: a run that cannot write there cannot save either.
    if (platform::LockFolder(installation, kWaitForAnotherRun)
        == platform::FolderLock::kHeldElsewhere) {
        diagnostics::ShowFault("The installation '" + installation
            + "' is in use by another run of " + platform::Process().executableName + "."
            + diagnostics::kLfCr + "Nothing was changed.");
        diagnostics::EndProgram();
    }
    platform::ReplaceFailure failure = platform::UndoInterruptedReplacement(SaveRecordPath());
    if (!failure.file.empty()) {
        diagnostics::ShowFault("An interrupted save could not be undone: file '" + failure.file
            + "' " + failure.reason + "." + diagnostics::kLfCr + "Nothing else was changed.");
        diagnostics::EndProgram();
    }
    // Composed rather than looked up: a file may be missing while its temporary file is not.
    platform::RemoveTemporaryFilesBeside(
        { InstallationProgramIniPath(), ComponentFilePath(".cfg"), LanguageFilePath(),
            ComponentFilePath(".mdb"), ComponentFilePath("_Source.mdb"), SaveRecordPath() });
}
