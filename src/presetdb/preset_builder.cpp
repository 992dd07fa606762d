#include "presetdb/preset_builder.h"

#include "config/cam_settings.h"
#include "config/project_settings.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "platform/system/text.h"
#include "platform/window/toolkit.h"
#include "presetdb/preset_state.h"

#include <chrono>
#include <cmath>
#include <vector>

using platform::Value;

namespace {

// The template of `part` for one HMI system with the template row's name and the machine's name
// filled in ("###machine" twice).
std::string VariableName(
    int system, const Value& part, const std::string& rowName, const std::string& machine)
{
    std::string name = presetdb::ReplaceSearchItem(
        presetdb::Presets().VarNameTemplates[system][presetdb::TemplateIndex(part)], "###Var_Name",
        rowName);
    name = presetdb::ReplaceSearchItem(name, "###machine", machine);
    return presetdb::ReplaceSearchItem(name, "###machine", machine);
}

// The number of the row pair that `offset` falls in, counted from 1 within the block.
std::string PairNumber(const Value& offset, short templateRows)
{
    double position = presetdb::NumberOf(offset);
    while (position >= templateRows)
        position -= templateRows;
    return std::to_string(static_cast<long long>(std::floor(position / 2)) + 1);
}

}

// Keeps the window responsive while the rows are built without a call for each row and column:
// pending messages are processed once at least 15 ms have passed since the last time, and never
// without a window, where there is nothing to redraw.
static void LetTheWindowReact()
{
    if (diagnostics::Modes().SilentMode)
        return;
    auto now = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point& last = presetdb::Presets().LastMessagePass;
    if (now - last < std::chrono::milliseconds(15))
        return;
    last = now;
    platform::ProcessPendingMessages();
}

// One template row's column j, named `column`, of the new row: texts get the machine's name and,
// for var_name, the HMI system's variable name; the position column gets the row's place in its
// block.
static void FillColumn(diagnostics::ErrorScope& scope, platform::Recordset& target, int j,
    const std::string& column, const Value& source, const std::string& machine, short rowNumber,
    short templateRows)
{
    presetdb::PresetState& presets = presetdb::Presets();
    const std::string* text = std::get_if<std::string>(&source);
    if (!text) {
        scope.Run([&] { platform::SetValue(target, j, source); });
        if (platform::EqualsIgnoringCase(column, "OFFSET_OR_BITNO"))
            scope.Run(
                [&] { platform::SetValue(target, j, Value(static_cast<long long>(rowNumber))); });
        return;
    }
    std::string value;
    if (platform::EqualsIgnoringCase(column, "VAR_NAME")) {
        Value part;
        scope.Run([&] { part = platform::GetValue(target, "part"); });
        for (int system = 0; system < 2; ++system)
            scope.Run(
                [&] { presets.VarNamePair[system] = VariableName(system, part, *text, machine); });
        scope.Run([&] {
            presetdb::VarNameInQuelleErsetzen(presets.VarNamePair[0], presets.VarNamePair[1]);
        });
        value = presets.VarNamePair[presets.VWStudioProject != 0];
    } else {
        value = presetdb::ReplaceSearchItem(*text, "###machine", machine);
        Value offset;
        scope.Run([&] { offset = platform::GetValue(target, "offset_or_bitno"); });
        if (!std::holds_alternative<platform::Null>(offset) && offset != Value(std::string())) {
            scope.Run([&] {
                value = presetdb::ReplaceSearchItem(
                    value, "###text", PairNumber(offset, templateRows));
            });
            value = presetdb::ReplaceSearchItem(value, "###Page", "0");
        }
    }
    scope.Run([&] { platform::SetValue(target, j, Value(value)); });
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
        templates = platform::OpenRecordset(database,
            "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID");
    });
    scope.Run([&] { rows = platform::ToInteger(platform::RecordCount(templates)); });
    scope.Run([&] { columns = platform::FieldCount(templates); });
    if (rows >= 1) {
        scope.Run([&] { platform::MoveFirst(templates); });
        sourceRows.assign(rows, std::vector<Value>(columns));
        for (int r = 0; r < rows; ++r) {
            for (int j = 0; j < columns; ++j)
                scope.Run([&] { sourceRows[r][j] = platform::GetValue(templates, j); });
            scope.Run([&] { platform::MoveNext(templates); });
        }
        scope.Run([&] { platform::MoveFirst(templates); });
    }
    if (rows < 1)
        return;

    const bool cams270 = config::Model().Cams270;
    short nextId = 1;
    int targetColumns = 0;
    scope.Run([&] { targetColumns = platform::FieldCount(target); });
    // The target's columns keep their names while it is filled.
    std::vector<std::string> names(static_cast<size_t>(std::max(targetColumns, 0)));
    for (int j = 1; j < targetColumns; ++j)
        scope.Run([&] { names[static_cast<size_t>(j)] = platform::FieldName(target, j); });
    for (int m = 1; m <= config::MachineCount(); ++m) {
        scope.Run([&] { presets.MachineSelected = config::MachineSelected(m, valid); });
        short rowNumber = 0;
        if (!presets.MachineSelected)
            continue;
        const std::string machine = config::Project().MachineNames[m];
        for (int r = 1; r <= rows; ++r) {
            LetTheWindowReact();
            if (r > 360 && !cams270)
                continue;
            scope.Run([&] { platform::AddNew(target); });
            scope.Run(
                [&] { platform::SetValue(target, 0, Value(static_cast<long long>(nextId))); });
            scope.Run([&] { nextId = platform::ToInteger(nextId + 1); });
            for (int j = 1; j < targetColumns; ++j) {
                LetTheWindowReact();
                Value source = j < columns ? sourceRows[r - 1][j] : Value();
                FillColumn(scope, target, j, names[static_cast<size_t>(j)], source, machine,
                    rowNumber, rows);
            }
            scope.Run([&] { platform::Update(target); });
            scope.Run([&] { rowNumber = platform::ToInteger(rowNumber + 1); });
        }
    }
    scope.Run([&] { platform::Close(target); });
    scope.Run([&] { platform::Close(templates); });
}

void presetdb::VarNameInQuelleErsetzen(const std::string& name0, const std::string& name1)
{
    diagnostics::ErrorScope scope("VarNameInQuelleErsetzen");
    PresetState& presets = Presets();
    platform::Database& database = presets.ComponentDatabase;
    if (!database.connection)
        return;
    bool studio = presets.VWStudioProject != 0;
    const std::string& oldName = studio ? name0 : name1;
    const std::string& newName = studio ? name1 : name0;
    platform::Recordset records;
    scope.Run([&] {
        // The text is the same for every name: compiled once, at the first call.
        if (!presets.RenameQuery.state)
            presets.RenameQuery = platform::PrepareQuery(database,
                "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=?))");
        records = platform::OpenRecordset(presets.RenameQuery, { Value(oldName) });
        for (; !platform::IsEof(records); platform::MoveNext(records)) {
            platform::Edit(records);
            platform::SetValue(records, "var_name", Value(newName));
            platform::Update(records);
        }
    });
    scope.Run([&] { platform::Close(records); });
}

void presetdb::CategorieNachCategoryID()
{
    diagnostics::ErrorScope scope("CategorieNachCategoryID");
    platform::Database& database = Presets().ComponentDatabase;
    if (!database.connection)
        return;
    scope.Run([&] {
        for (const platform::FieldDef& field : platform::TableFields(database, "PRESET_DEFS"))
            if (platform::EqualsIgnoringCase(field.name, "CATEGORIE"))
                platform::RenameField(database, "PRESET_DEFS", field.name, "category_id");
    });
}
