#include "presetdb/preset_builder.h"

#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_scope.h"
#include "dialog/cam_model.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/toolkit.h"
#include "presetdb/preset_state.h"

#include <cmath>
#include <vector>

using platform::Value;

namespace {

// The component database, or "" when it does not exist.
std::string ExistingComponentDatabase()
{
    std::string path = config::GetPathOCXMDB();
    return (path.empty() || !platform::FileExists(path)) ? std::string() : path;
}

long long WholeNumber(const Value& value)
{
    if (const long long* number = std::get_if<long long>(&value))
        return *number;
    if (const double* number = std::get_if<double>(&value))
        return static_cast<long long>(std::floor(*number));
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? -1 : 0;
    if (std::holds_alternative<platform::Null>(value))
        platform::Raise(platform::kInvalidUseOfNull);
    platform::Raise(platform::kTypeMismatch);
}

// The variable name of part `part` for one HMI system, with the template row's name and the
// machine's name filled in ("###machine" twice).
std::string VariableName(int system, const Value& part, const std::string& rowName, const std::string& machine)
{
    long long index = WholeNumber(part) - 1;
    if (index < 0 || index >= presetdb::kTemplateParts)
        platform::Raise(platform::kSubscriptOutOfRange);
    std::string name = presetdb::ReplaceSearchItem(presetdb::Presets().VarNameTemplates[system][index], "###Var_Name", rowName);
    name = presetdb::ReplaceSearchItem(name, "###machine", machine);
    return presetdb::ReplaceSearchItem(name, "###machine", machine);
}

// A text value with the machine's name, the row pair's number and the page filled in.
std::string FilledText(const std::string& text, const std::string& machine, const Value& offset, short templateRows)
{
    std::string value = presetdb::ReplaceSearchItem(text, "###machine", machine);
    if (std::holds_alternative<platform::Null>(offset) || offset == Value(std::string()))
        return value;
    long long position = WholeNumber(offset);
    while (position >= templateRows)
        position -= templateRows;
    long long pair = static_cast<long long>(std::floor(position / 2.0)) + 1;
    value = presetdb::ReplaceSearchItem(value, "###text", std::to_string(pair));
    return presetdb::ReplaceSearchItem(value, "###Page", "0");
}

}

void presetdb::CreateRecordSets(platform::Database& database)
{
    diagnostics::ErrorScope scope("CreateRecordSets");
    PresetState& presets = Presets();
    std::string valid;
    platform::Recordset target, templates;
    short rows = 0;
    int columns = 0;
    std::vector<std::vector<Value>> sourceRows; // [template row][column position]
    scope.Run([&] { valid = config::GetValidMachines(); });
    scope.Run([&] { target = platform::OpenRecordset(database, "PRESET_DEFS"); });
    scope.Run([&] {
        templates = platform::OpenRecordset(
            database, "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID");
    });
    scope.Run([&] {
        rows = platform::ToInteger(platform::RecordCount(templates));
        columns = platform::FieldCount(templates);
        if (rows < 1)
            return;
        platform::MoveFirst(templates);
        for (int r = 1; r <= rows; ++r) {
            std::vector<Value>& row = sourceRows.emplace_back();
            for (int j = 0; j < columns; ++j)
                row.push_back(platform::GetValue(templates, j));
            platform::MoveNext(templates);
        }
        platform::MoveFirst(templates);
    });
    if (rows < 1 || static_cast<int>(sourceRows.size()) < rows)
        return;

    const bool cams270 = dialog::Model().Cams270;
    short nextId = 1;
    for (int m = 1; m <= config::MachineCount(); ++m) {
        scope.Run([&] { presets.MachineSelected = config::MachineSelected(m, valid); });
        short rowNumber = 0;
        if (!presets.MachineSelected)
            continue;
        const std::string machine = config::Project().MachineNames[m];
        int targetColumns = 0;
        scope.Run([&] { targetColumns = platform::FieldCount(target); });
        for (int r = 1; r <= rows; ++r) {
            platform::ProcessPendingMessages();
            if (r > 360 && !cams270)
                continue;
            scope.Run([&] { platform::AddNew(target); });
            scope.Run([&] {
                platform::SetValue(target, 0, Value(static_cast<long long>(nextId)));
                nextId = platform::ToInteger(nextId + 1);
            });
            for (int j = 1; j < targetColumns; ++j) {
                platform::ProcessPendingMessages();
                scope.Run([&] {
                    const Value& source = sourceRows[r - 1].at(j);
                    std::string column = platform::UpperCase(platform::FieldName(target, j));
                    const std::string* text = std::get_if<std::string>(&source);
                    if (!text) {
                        platform::SetValue(target, j, source);
                        if (column == "OFFSET_OR_BITNO")
                            platform::SetValue(target, j, Value(static_cast<long long>(rowNumber)));
                        return;
                    }
                    if (column == "VAR_NAME") {
                        Value part = platform::GetValue(target, "part");
                        for (int system = 0; system < 2; ++system)
                            presets.VarNamePair[system] = VariableName(system, part, *text, machine);
                        VarNameInQuelleErsetzen(presets.VarNamePair[0], presets.VarNamePair[1]);
                        platform::SetValue(target, j, Value(presets.VarNamePair[presets.VWStudioProject != 0]));
                        return;
                    }
                    Value offset = platform::GetValue(target, "offset_or_bitno");
                    platform::SetValue(target, j, Value(FilledText(*text, machine, offset, rows)));
                });
            }
            scope.Run([&] {
                platform::Update(target);
                rowNumber = platform::ToInteger(rowNumber + 1);
            });
        }
    }
    scope.Run([&] { platform::Close(target); });
    scope.Run([&] { platform::Close(templates); });
}

void presetdb::VarNameInQuelleErsetzen(const std::string& name0, const std::string& name1)
{
    diagnostics::ErrorScope scope("VarNameInQuelleErsetzen");
    std::string path;
    scope.Run([&] { path = ExistingComponentDatabase(); });
    if (path.empty())
        return;
    bool studio = Presets().VWStudioProject != 0;
    const std::string& oldName = studio ? name0 : name1;
    const std::string& newName = studio ? name1 : name0;
    platform::Database database;
    platform::Recordset records;
    scope.Run([&] { database = platform::OpenDatabase(path); });
    scope.Run([&] {
        records = platform::OpenRecordset(database,
            "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=" + JetQuoted(oldName) + "))");
        for (; !platform::IsEof(records); platform::MoveNext(records)) {
            platform::Edit(records);
            platform::SetValue(records, "var_name", Value(newName));
            platform::Update(records);
        }
    });
    scope.Run([&] { platform::Close(records); });
    scope.Run([&] { platform::Close(database); });
}

void presetdb::CategorieNachCategoryID()
{
    diagnostics::ErrorScope scope("CategorieNachCategoryID");
    std::string path;
    scope.Run([&] { path = ExistingComponentDatabase(); });
    if (path.empty())
        return;
    platform::Database database;
    scope.Run([&] { database = platform::OpenDatabase(path); });
    scope.Run([&] {
        for (const platform::FieldDef& field : platform::TableFields(database, "PRESET_DEFS"))
            if (platform::UpperCase(field.name) == "CATEGORIE")
                platform::RenameField(database, "PRESET_DEFS", field.name, "category_id");
    });
    scope.Run([&] { platform::Close(database); });
}
