// What the database work keeps for the run: the project's HMI system and the variable-name
// templates, and the state of the row being built.
#pragma once

#include "platform/database/database.h"

#include <string>

namespace presetdb {

inline constexpr int kTemplateParts = 50;

struct PresetState {
    short VWStudioProject = 0; // 1: VisiWin Studio names, 0: VisiWin32 names
    std::string VarNameTemplates[2][kTemplateParts];
    bool MachineSelected = false;
    std::string VarNamePair[2];
};

PresetState& Presets();

// `text` with the first occurrence of `search`, found without regard to case, replaced.
std::string ReplaceSearchItem(const std::string& text, const std::string& search, const std::string& replacement);

// A name for a Jet string literal: each double quote doubled, so the literal holds the name
// exactly.
std::string JetQuoted(const std::string& name);

// The value as a number, as the original converts it: texts that hold a number count; Null is
// "Invalid use of Null", other texts a type mismatch.
double NumberOf(const platform::Value& value);

// The template index of a `part` value: part − 1 rounded to the nearest whole number, halves to
// the even one (1.5 gives 0, 2.5 and 3.5 give 2); "Subscript out of range" outside 0 to 49.
int TemplateIndex(const platform::Value& part);

// The value as text: numbers in decimal, Null as "".
std::string ValueText(const platform::Value& value);

}
