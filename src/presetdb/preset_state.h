// What the database work keeps for the run: the project's HMI system and the variable-name
// templates, the state of the row being built, the old preset definitions, and what the OK will
// write.
#pragma once

#include "platform/database/database.h"
#include "platform/system/file_replacement.h"

#include <chrono>
#include <string>
#include <vector>

namespace presetdb {

inline constexpr int kTemplateParts = 50;

struct PresetState {
    short VWStudioProject = 0; // 1: VisiWin Studio names, 0: VisiWin32 names
    std::string VarNameTemplates[2][kTemplateParts];
    bool MachineSelected = false;
    std::string VarNamePair[2];
    // The component database as the run sees it: a private copy of it, or in integrated mode of
    // the machine copy; closed when there is none.
    platform::Database ComponentDatabase;
    platform::Query RenameQuery; // VarNameInQuelleErsetzen's, compiled at its first call
    // The rebuilt source and component database, for the OK to write, and the locks that keep
    // other programs from the files until then.
    std::vector<platform::FileUpdate> Updates;
    std::vector<platform::DatabaseLock> Locks;
    // When the builder last let the window process its pending messages.
    std::chrono::steady_clock::time_point LastMessagePass {};
};

PresetState& Presets();

// `text` with the first occurrence of `search`, found without regard to case, replaced.
std::string ReplaceSearchItem(
    const std::string& text, const std::string& search, const std::string& replacement);

// The value as a number, as the original converts it: texts that hold a number count; Null is
// "Invalid use of Null", other texts a type mismatch.
double NumberOf(const platform::Value& value);

// The template index of a `part` value: part − 1 rounded to the nearest whole number, halves to
// the even one (1.5 gives 0, 2.5 and 3.5 give 2); "Subscript out of range" outside 0 to 49.
int TemplateIndex(const platform::Value& part);

// The value as text: numbers in decimal, Null as "".
std::string ValueText(const platform::Value& value);

}
