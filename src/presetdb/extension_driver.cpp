#include "presetdb/extension_driver.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/database/database.h"
#include "platform/database/jet_import.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/text.h"
#include "platform/window/message_box.h"
#include "presetdb/preset_builder.h"
#include "presetdb/preset_state.h"
#include "presetdb/takeover.h"

#include <optional>

using platform::Value;

namespace {

const char* const kSystems[2] = { "VISIWIN32", "VISIWINSTUDIO" };

// How long other programs' locks on the databases are waited for, in all.
constexpr std::chrono::seconds kWaitForOtherPrograms { 5 };

void ShowMachineCopyMissing(const std::string& componentPath)
{
    const std::string quote = "\"";
    platform::ShowMessageBox(
        { "Konnte die Datei:" + quote + diagnostics::GetFileNameOnly(componentPath) + quote
                + " in der Vorlage nicht finden!\r\n\r\nIst das Bild in der Vorlage noch nicht "
                  "vorhanden (also neu)?\r\n"
                  "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
                  "Standardwerten erzeugt.",
            platform::Process().executableName, platform::Buttons::Ok, platform::kInformation });
}

// The machine copy as the old data of the run; a file that is no sound database of the tool is
// reported, naming it, and the program ends with nothing changed.
platform::Database ReadMachineCopy(const std::string& path, platform::Deadline deadline)
{
    try {
        platform::Database copy = platform::IsJetFile(path)
            ? platform::ImportJetDatabase(path)
            : platform::ReadDatabase(path, deadline);
        platform::CheckDatabase(copy);
        if (!platform::HasTable(copy, "PRESET_DEFS"))
            platform::Raise(3343, platform::kDatabaseSource, "it has no table PRESET_DEFS");
        return copy;
    } catch (const platform::Failure& failure) {
        diagnostics::ShowFault("File '" + path + "' is no sound database of "
            + platform::Process().executableName + " (" + failure.description + ")."
            + diagnostics::kLfCr + "Nothing was saved.");
        diagnostics::EndProgram();
    }
}

// A database file that the OK will replace. Whether it is a Jet file is known before it is
// locked: reading it on another descriptor afterwards would let go of the lock.
struct Replaced {
    std::string path;
    bool jet = false;
};

Replaced ToReplace(const std::string& path)
{
    return { path, platform::FileExists(path) && platform::IsJetFile(path) };
}

// Locks the file until the program ends; a Jet file needs no lock, as no program of this
// platform writes it.
platform::DatabaseLock* LockForReplacing(const Replaced& file, platform::Deadline deadline)
{
    if (file.jet)
        return nullptr;
    return &presetdb::Presets().Locks.emplace_back(platform::LockDatabaseFile(file.path, deadline));
}

// A private copy of the file, locked until the OK has replaced it.
platform::Database CopyForReplacing(const Replaced& file, platform::Deadline deadline)
{
    platform::DatabaseLock* lock = LockForReplacing(file, deadline);
    return lock ? platform::CopyDatabase(*lock) : platform::ImportJetDatabase(file.path);
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
    platform::AppendTable(
        database, { "PRESET_DEFS", platform::TableFields(database, "Source_PRESET_DEFS") });
}

// The file that takes the place of `file`: the rebuilt source's bytes, and where a Jet file is
// replaced, the name beside it that keeps the original.
platform::FileUpdate Replacement(const Replaced& file, std::string image)
{
    return { file.path, std::move(image), std::nullopt,
        file.jet ? platform::KeptJetName(file.path) : "" };
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
            && config::LoadIniBoolean(
                "Project", "VWStudio", config::Project().ProgramIniPath, false))
            presets.VWStudioProject = 1;
    });
    if (source.empty())
        return;

    // Whatever fails before the rebuilt table is filled leaves nothing to save: the OK ends on
    // the report. No step changes a file; the OK writes what the run leaves in Updates.
    const platform::Deadline deadline = std::chrono::steady_clock::now() + kWaitForOtherPrograms;
    const bool componentExists = platform::FileExists(component);
    std::optional<long long> sourceWritten;
    Replaced sourceFile, componentFile;
    bool opened = scope.Run([&] {
        // Copying the source over the component database would leave it without its old limits.
        if (componentExists && platform::SameFile(source, component))
            platform::Raise(3343, platform::kDatabaseSource,
                "The component database '" + component + "' is the source database itself.");
        sourceWritten = platform::LastWriteTime(source);
        sourceFile = ToReplace(source);
        componentFile = ToReplace(component);
    });
    bool fromMachineCopy = false;
    if (opened && diagnostics::Modes().StartModeIntegrated) {
        if (machineCopy.empty() || !platform::FileExists(machineCopy)) {
            scope.Run([&] { ShowMachineCopyMissing(component); });
        } else {
            presets.ComponentDatabase = ReadMachineCopy(machineCopy, deadline);
            fromMachineCopy = true;
        }
    }
    platform::Database database;
    opened = opened && scope.Run([&] { database = CopyForReplacing(sourceFile, deadline); });
    opened = opened && scope.Run([&] {
        if (componentExists && fromMachineCopy)
            LockForReplacing(componentFile, deadline);
        else if (componentExists)
            presets.ComponentDatabase = CopyForReplacing(componentFile, deadline);
    });
    if (!opened)
        return;
    platform::Database& old = presets.ComponentDatabase;

    platform::Recordset templateRows;
    scope.Run([&] {
        platform::BeginTransaction(database);
        if (old.connection)
            platform::BeginTransaction(old);
    });
    scope.Run([&] { templateRows = platform::OpenRecordset(database, "Source_DEFS"); });
    if (templateRows.state)
        ReadTemplates(templateRows);
    platform::Close(templateRows);
    // A table that could not be rebuilt is reported; the steps go on as the rules go on, so that
    // the takeover can find a demanded column missing. Nothing is saved after a report anyway.
    scope.Run([&] { RebuildPresetTable(database); });
    // The renaming looks up old rows by name, the takeover new rows by machine, name and place.
    scope.Run([&] {
        if (old.connection)
            platform::AddLookupIndex(old, "PRESET_DEFS", { "var_name" });
    });
    scope.Run([&] { CategorieNachCategoryID(); });
    scope.Run([&] { CreateRecordSets(database); });

    platform::Recordset oldRecords;
    scope.Run([&] {
        if (old.connection && platform::HasTable(old, "PRESET_DEFS"))
            oldRecords = platform::OpenRecordset(old, "PRESET_DEFS");
        if (oldRecords.state) {
            config::GetAddFields();
            platform::AddLookupIndex(
                database, "PRESET_DEFS", { "machine_type", "var_name", "offset_or_bitno" });
            TakeoverMachineCopyMDBData(database, oldRecords);
        }
    });
    platform::Close(oldRecords);
    presets.RenameQuery = {};
    platform::Close(old);
    scope.Run([&] {
        platform::DropLookupIndexes(database);
        platform::CommitTransaction(database);
        std::string image = platform::DatabaseImage(database);
        platform::Close(database);
        presets.Updates.push_back(Replacement(sourceFile, image));
        presets.Updates.back().lastWriteTime = sourceWritten;
        presets.Updates.push_back(Replacement(componentFile, std::move(image)));
    });
}
