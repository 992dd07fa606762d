#include "presetdb/takeover.h"

#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/program_location.h"
#include "platform/system/process.h"
#include "platform/system/text.h"
#include "presetdb/preset_state.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

using platform::Value;

namespace {

// The old columns read into each slot; slot 4 is "categorie" where the old table still has it.
const char* const kSlotColumns[15]
    = { "ID", "machine_type", "type", "var_name", "category_id", "isBitArray", nullptr,
          "offset_or_bitno", "text", "page_name", "abs_min", "abs_max", "min", "max", "pass" };
const char* const kTakenOver[5] = { "abs_min", "abs_max", "min", "max", "pass" };

// The look-up of the new row that matches an old one by machine type, name and place; the three
// values are given for each old row.
std::string MatchingQuery()
{
    return "SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,"
           " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray,"
           " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name,"
           " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max,"
           " PRESET_DEFS.pass"
        + config::Project().AdditionalFieldsSelect + " From PRESET_DEFS "
        + " WHERE (((PRESET_DEFS.machine_type)=?) AND ((PRESET_DEFS.var_name)=?) "
        + " AND ((PRESET_DEFS.offset_or_bitno)=?));";
}

// The names of the new table's columns after position 0.
std::vector<std::string> NewColumnNames(platform::Database& database)
{
    platform::Recordset columns = platform::OpenRecordset(database, "PRESET_DEFS");
    std::vector<std::string> names;
    for (int position = 1; position < platform::FieldCount(columns); ++position)
        names.push_back(platform::FieldName(columns, position));
    platform::Close(columns);
    return names;
}

// The first demanded column missing from `names` (case counts).
std::optional<std::string> MissingDemandedField(const std::vector<std::string>& names)
{
    const auto& demanded = config::Project().AdditionalFields;
    if (!demanded)
        return std::nullopt;
    for (size_t i = 1; i < demanded->size(); ++i)
        if (std::find(names.begin(), names.end(), (*demanded)[i]) == names.end())
            return (*demanded)[i];
    return std::nullopt;
}

[[noreturn]] void EndWithConflict(const std::string& missingField)
{
    const std::string quote = "\"";
    const std::string component = platform::UpperCase(diagnostics::GetOCXName());
    diagnostics::WriteErrorLog("Conflict while attempting to extend database!Configurationsfile "
            + quote + component + ".CFG" + quote + ", demanded field " + quote
            + platform::UpperCase(missingField) + quote + "missing in machinecopy-database"
            + diagnostics::kLfCr + "Configuration of " + quote + component + quote + " aborted.",
        false);
    diagnostics::ErrorScope fatal("TakeoverMachineCopyMDBData", diagnostics::ErrorScope::Fatal);
    fatal.Run([] {
        platform::Raise(platform::kDatabaseError, platform::Process().executableName,
            "Database-Error - Contact Administrator!");
    });
    diagnostics::EndProgram();
}

}

// The slots of an old row that the takeover uses: those that select the new row, then the values
// taken over.
constexpr int kUsedSlots[] = { 1, 3, 7, 10, 11, 12, 13, 14 };

void presetdb::TakeoverMachineCopyMDBData(
    platform::Database& newDatabase, platform::Recordset& oldRecords)
{
    diagnostics::ErrorScope scope("TakeoverMachineCopyMDBData");
    if (!oldRecords.state)
        return;
    bool hasCategorie = false;
    int rowCount = 0;
    scope.Run([&] {
        for (int position = 0; position < platform::FieldCount(oldRecords); ++position)
            hasCategorie = hasCategorie
                || platform::EqualsIgnoringCase(
                    platform::FieldName(oldRecords, position), "CATEGORIE");
    });
    scope.Run([&] {
        platform::MoveFirst(oldRecords);
        for (; !platform::IsEof(oldRecords); platform::MoveNext(oldRecords))
            ++rowCount;
    });
    // Every slot is read, so that a missing column is reported; the slots used are kept.
    std::vector<std::array<Value, std::size(kUsedSlots)>> oldRows(static_cast<size_t>(rowCount));
    scope.Run([&] { platform::MoveFirst(oldRecords); });
    for (auto& row : oldRows) {
        for (int slot = 0; slot < static_cast<int>(std::size(kSlotColumns)); ++slot)
            if (const char* column = kSlotColumns[slot])
                scope.Run([&] {
                    Value value = platform::GetValue(
                        oldRecords, slot == 4 && hasCategorie ? "categorie" : column);
                    auto used = std::find(std::begin(kUsedSlots), std::end(kUsedSlots), slot);
                    if (used != std::end(kUsedSlots))
                        row[static_cast<size_t>(used - std::begin(kUsedSlots))] = std::move(value);
                });
        scope.Run([&] { platform::MoveNext(oldRecords); });
    }
    scope.Run([&] { platform::Close(oldRecords); });
    oldRecords = {};

    // The new table's columns do not change while values are taken over: looked at once, at the
    // first old row. A table that cannot be opened has no columns, so "part" is missing.
    if (!oldRows.empty()) {
        std::vector<std::string> columns;
        scope.Run([&] { columns = NewColumnNames(newDatabase); });
        if (std::optional<std::string> missing = MissingDemandedField(columns))
            EndWithConflict(*missing);
    }
    // A look-up that fails is not reported: its old row is skipped.
    diagnostics::ErrorScope ignored(
        "TakeoverMachineCopyMDBData", diagnostics::ErrorScope::Silenced);
    platform::Query matching;
    ignored.Run([&] { matching = platform::PrepareQuery(newDatabase, MatchingQuery()); });
    for (const auto& row : oldRows) {
        platform::Recordset match;
        // Machine type and name are looked up as texts, as the rules quote them; a Null as "".
        ignored.Run([&] {
            match = platform::OpenRecordset(matching,
                { Value(presetdb::ValueText(row[0])), Value(presetdb::ValueText(row[1])), row[2] });
        });
        if (!match.state)
            continue;
        scope.Run([&] {
            if (platform::RecordCount(match) > 0) {
                platform::Edit(match);
                for (size_t k = 0; k < std::size(kTakenOver); ++k)
                    platform::SetValue(match, kTakenOver[k], row[3 + k]);
                platform::Update(match);
            }
        });
    }
}
