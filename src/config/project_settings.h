// The project's machines and settings: the machine list, the machines this dialog may edit,
// the extra database fields and the language code.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace config {

struct ProjectSettings {
    // Element 0 is unused; 1..n are the machine names. Empty: no machine found.
    std::vector<std::string> MachineNames;
    std::string ProgramIniPath;
    // Element 0 unused, 1 is "part", then the names listed; unset until GetAddFields runs.
    std::optional<std::vector<std::string>> AdditionalFields;
    std::string AdditionalFieldsSelect;
};

ProjectSettings& Project();

// The number of machines in MachineNames (its upper bound).
int MachineCount();

// Fills ProgramIniPath and MachineNames: integrated from NameM1..NameM5 of the configuration
// INI (up to the first "-" or empty name), otherwise NumberOfMachines names from program.ini.
void GetExistingMachines(const std::string& configurationIniPath);

// The most machines a line has; machines listed beyond them are never edited.
inline constexpr int kMaxMachines = 5;

// Whether machine m of MachineNames takes part: integrated, when ValidMachines is "ALL" or
// contains its name (letters compared without regard to case); otherwise when ForMachine<m> of
// the component configuration file is true. How many machines a caller asks about is its own
// limit: the dialog edits five, the preset builder goes to the end of the list.
bool MachineSelected(int machine, const std::string& validMachines);

// The ValidMachines entry of the component configuration file.
std::string GetValidMachines();

// "part" and the names of DataBaseAdditionalFields, from index 1 on; element 0 empty.
std::vector<std::string> GetAdditionalFieldsMDB();

// Fills AdditionalFields and AdditionalFieldsSelect.
void GetAddFields();

// The language code of the language file; writes and returns "1031" when it has none.
std::string GetLanguage();

// program folder/<executable name>.ini
std::string LanguageFilePath();

}
