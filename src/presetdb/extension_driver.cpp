#include "presetdb/extension_driver.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "diagnostics/program_location.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "platform/database/database.h"
#include "platform/system/files.h"
#include "platform/window/message_box.h"
#include "platform/system/process.h"
#include "platform/system/text.h"
#include "presetdb/preset_builder.h"
#include "presetdb/preset_state.h"
#include "presetdb/takeover.h"

#include <optional>

using platform::Value;

namespace {

const char* const kSystems[2] = { "VISIWIN32", "VISIWINSTUDIO" };

void ShowMachineCopyMissing(const std::string& componentPath)
{
    const std::string quote = "\"";
    platform::ShowMessageBox({ "Konnte die Datei:" + quote + diagnostics::GetFileNameOnly(componentPath) + quote
            + " in der Vorlage nicht finden!\r\n\r\nIst das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
              "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den Standardwerten erzeugt.",
        platform::Process().executableName, platform::Buttons::Ok, platform::kInformation });
}

// Reads Source_DEFS into the templates; a row that cannot be read marks both systems' first
// template "###Var_Name" and the walk goes on.
void ReadTemplates(platform::Recordset& rows)
{
    presetdb::PresetState& presets = presetdb::Presets();
    auto guarded = [&](auto&& statement) {
        try {
            statement();
        } catch (const platform::Failure&) {
            presets.VarNameTemplates[0][0] = "###Var_Name";
            presets.VarNameTemplates[1][0] = "###Var_Name";
        }
    };
    while (!platform::IsEof(rows)) {
        for (int system = 0; system < 2; ++system)
            guarded([&] {
                if (!platform::EqualsIgnoringCase(
                        presetdb::ValueText(platform::GetValue(rows, "System")), kSystems[system]))
                    return;
                int index = presetdb::TemplateIndex(platform::GetValue(rows, "Part"));
                Value name = platform::GetValue(rows, "Var_Name");
                if (std::holds_alternative<platform::Null>(name))
                    platform::Raise(platform::kInvalidUseOfNull);
                presets.VarNameTemplates[system][index] = presetdb::ValueText(name);
            });
        guarded([&] { platform::MoveNext(rows); });
    }
}

[[noreturn]] void EndWithoutCopy(const std::string& component)
{
    diagnostics::ShowFault("File '" + component + "' was not replaced." + diagnostics::kLfCr + "Nothing was saved.");
    diagnostics::EndProgram();
}

void RebuildPresetTable(platform::Database& database)
{
    if (platform::HasTable(database, "PRESET_DEFS"))
        platform::DeleteTable(database, "PRESET_DEFS");
    platform::AppendTable(database, { "PRESET_DEFS", platform::TableFields(database, "Source_PRESET_DEFS") });
}

}

void presetdb::WorkOnMDB()
{
    diagnostics::ErrorScope scope("WorkOnMDB");
    PresetState& presets = Presets();
    std::string source, component, configurationIni, machineCopy;
    scope.Run([&] {
        source = config::GetPathSourceOCXMDB();
        component = config::GetPathOCXMDB();
        configurationIni = config::GetTVXConfigurationIniPath();
        machineCopy = config::GetPathMachineCopyMDB(configurationIni);
    });
    scope.Run([&] {
        presets.VWStudioProject = 0;
        if (!diagnostics::Modes().StartModeIntegrated
            && config::LoadIniBoolean("Project", "VWStudio", config::Project().ProgramIniPath, false))
            presets.VWStudioProject = 1;
    });
    if (source.empty())
        return;

    std::optional<long long> sourceWritten;
    scope.Run([&] { sourceWritten = platform::LastWriteTime(source); });
    scope.Run([&] {
        if (!diagnostics::Modes().StartModeIntegrated)
            return;
        if (machineCopy.empty() || !platform::FileExists(machineCopy))
            ShowMachineCopyMissing(component);
        else if (!platform::CopyFileReplacing(machineCopy, component))
            platform::Raise(platform::kPathFileAccess);
    });

    // Each step of the rebuild must succeed, or the component database is not replaced.
    bool rebuilt = true;
    auto step = [&](auto&& each) { rebuilt = scope.Run(each) && rebuilt; };
    auto report = [&](const std::vector<platform::Failure>& failures) {
        for (const platform::Failure& failure : failures)
            step([&] { throw failure; });
    };
    platform::Database templates;
    platform::Recordset templateRows;
    step([&] { templates = platform::OpenDatabase(source); });
    step([&] { templateRows = platform::OpenRecordset(templates, "Source_DEFS"); });
    if (templateRows.state)
        ReadTemplates(templateRows);
    step([&] { platform::Close(templateRows); });
    report(platform::CloseAndStore(templates));

    platform::Database database;
    step([&] { database = platform::OpenDatabase(source); });
    step([&] { RebuildPresetTable(database); });
    auto restoreTimes = [&] {
        scope.Run([&] {
            if (sourceWritten && !platform::SetLastWriteTime(source, *sourceWritten))
                platform::Raise(platform::kPathFileAccess);
        });
    };
    // Without the new table the steps below would only change the component database.
    if (!rebuilt)
        restoreTimes(), EndWithoutCopy(component);
    step([&] { CategorieNachCategoryID(); });
    step([&] { CreateRecordSets(database); });

    platform::Recordset oldRecords;
    step([&] {
        if (component.empty() || !platform::FileExists(component))
            return;
        platform::Database old = platform::OpenDatabase(component);
        if (platform::HasTable(old, "PRESET_DEFS"))
            oldRecords = platform::OpenRecordset(old, "PRESET_DEFS");
        if (oldRecords.state) {
            config::GetAddFields();
            TakeoverMachineCopyMDBData(database, oldRecords);
        }
        platform::Close(old);
    });
    step([&] { platform::Close(oldRecords); });
    // The component database is replaced next; its changes only served the takeover, and
    // storing them would leave it neither old nor new should the run stop before the copy.
    step([&] { platform::DiscardDatabaseFile(component); });
    report(platform::CloseAndStore(database));
    std::vector<platform::Failure> released;
    step([&] { released = platform::ReleaseDatabaseFiles(); });
    report(released);
    step([&] {
        if (!platform::DatabaseFileIsSound(source))
            platform::Raise(3343, "DAO.Database", "The database '" + source + "' is damaged.");
    });
    // A source that was not rebuilt in full would wipe the component's rows and limits.
    if (rebuilt)
        step([&] {
            if (!platform::CopyFileReplacing(source, component))
                platform::RaiseFileFailure();
        });
    restoreTimes();
    if (!rebuilt)
        EndWithoutCopy(component);
}
