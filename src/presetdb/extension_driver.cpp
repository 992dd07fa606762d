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

    platform::Database templates;
    platform::Recordset templateRows;
    scope.Run([&] { templates = platform::OpenDatabase(source); });
    scope.Run([&] { templateRows = platform::OpenRecordset(templates, "Source_DEFS"); });
    if (templateRows.state)
        ReadTemplates(templateRows);
    scope.Run([&] { platform::Close(templateRows); });
    scope.Run([&] { platform::Close(templates); });

    platform::Database database;
    scope.Run([&] { database = platform::OpenDatabase(source); });
    scope.Run([&] { RebuildPresetTable(database); });
    scope.Run([&] { CategorieNachCategoryID(); });
    scope.Run([&] { CreateRecordSets(database); });

    platform::Recordset oldRecords;
    scope.Run([&] {
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
    scope.Run([&] { platform::Close(oldRecords); });
    scope.Run([&] { platform::Close(database); });
    scope.Run([&] {
        // The component database is replaced next; its changes only served the takeover, and
        // storing them would leave it neither old nor new should the run stop before the copy.
        platform::DiscardDatabaseFile(component);
        platform::ReleaseDatabaseFiles();
        if (!platform::CopyFileReplacing(source, component))
            platform::Raise(platform::kPathFileAccess);
    });
    scope.Run([&] {
        if (sourceWritten && !platform::SetLastWriteTime(source, *sourceWritten))
            platform::Raise(platform::kPathFileAccess);
    });
}
