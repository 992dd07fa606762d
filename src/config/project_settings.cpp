#include "config/project_settings.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/text.h"
#include "startup/command_line.h"

#include <algorithm>

config::ProjectSettings& config::Project()
{
    static ProjectSettings settings;
    return settings;
}

int config::MachineCount()
{
    const auto& names = Project().MachineNames;
    return names.empty() ? 0 : static_cast<int>(names.size()) - 1;
}

static void AppendMachine(const std::string& name)
{
    auto& names = config::Project().MachineNames;
    if (names.empty())
        names.emplace_back();
    names.push_back(name);
}

// A machine count is a whole number from 0 to 32767 in plain decimal digits. Anything else read
// as a number would give a made-up count, and with it a rebuilt database of the wrong machines.
static bool IsMachineCount(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    return text.size() - first < 5
        || (text.size() - first == 5 && text.compare(first, 5, "32767") <= 0);
}

// Ends the program when NumberOfMachines is present but no machine count, before any file changes.
// An empty value and -1 are what the program reads for a missing entry: no machines.
static void EnsureMachineCount(const std::string& programIni)
{
    std::optional<std::string> text
        = config::LoadIniEntry("Project", "NumberOfMachines", programIni);
    if (!text || text->empty() || *text == "-1" || IsMachineCount(*text))
        return;
    diagnostics::ShowFault("Entry 'NumberOfMachines' in Section [Project] of File '" + programIni
        + "' is not a number of machines: '" + text->substr(0, 40) + "'" + diagnostics::kLfCr
        + "Nothing was changed.");
    diagnostics::EndProgram();
}

void config::GetExistingMachines(const std::string& configurationIniPath)
{
    diagnostics::ErrorScope scope("GetExistingMachines");
    ProjectSettings& project = Project();
    scope.Run([&] { project.ProgramIniPath = GetProgramIniPath(kProgramIniForReading); });
    if (diagnostics::Modes().StartModeIntegrated) {
        if (configurationIniPath.empty() || !platform::FileExists(configurationIniPath))
            return;
        for (int i = 1; i <= kMaxMachines; ++i) {
            std::string name
                = LoadIniString("Common", "NameM" + std::to_string(i), configurationIniPath, false);
            if (name == "-" || name.empty())
                return;
            scope.Run([&] { AppendMachine(name); });
        }
        return;
    }
    scope.Run([&] { EnsureMachineCount(project.ProgramIniPath); });
    short count = LoadIniInteger("Project", "NumberOfMachines", project.ProgramIniPath, false);
    for (int i = 1; i <= count; ++i) {
        std::string name = LoadIniString(
            "Machine" + std::to_string(i), "MachineName", project.ProgramIniPath, false);
        scope.Run([&] { AppendMachine(name); });
    }
}

bool config::MachineSelected(int machine, const std::string& validMachines)
{
    if (machine < 1 || machine > MachineCount())
        return false;
    if (startup::GetStartModeIntegrated()) {
        return platform::EqualsIgnoringCase(validMachines, "ALL")
            || platform::FindIgnoringCase(validMachines, Project().MachineNames[machine]);
    }
    return LoadIniBoolean("Project", "ForMachine" + std::to_string(machine), GetCFGPath(), false);
}

std::string config::GetValidMachines()
{
    return LoadIniString("Project", "ValidMachines", GetCFGPath(), false);
}

std::vector<std::string> config::GetAdditionalFieldsMDB()
{
    diagnostics::ErrorScope scope("GetAdditionalFieldsMDB");
    std::vector<std::string> fields(1);
    scope.Run([&] {
        std::string text
            = LoadIniString("Project", "DataBaseAdditionalFields", GetCFGPath(), false);
        text = text.empty() ? "part" : "part," + text;
        for (size_t comma; (comma = text.find(',')) != std::string::npos; text.erase(0, comma + 1))
            fields.push_back(text.substr(0, comma));
        fields.push_back(text);
    });
    return fields;
}

void config::GetAddFields()
{
    diagnostics::ErrorScope scope("GetAddFields");
    ProjectSettings& project = Project();
    scope.Run([&] {
        project.AdditionalFields = GetAdditionalFieldsMDB();
        std::string select;
        for (size_t i = 1; i < project.AdditionalFields->size(); ++i)
            select += ", PRESET_DEFS." + (*project.AdditionalFields)[i];
        project.AdditionalFieldsSelect = select;
    });
}

std::string config::LanguageFilePath()
{
    const platform::ProcessFacts& process = platform::Process();
    return PathBelow(process.programFolder, process.executableName + ".ini");
}

std::string config::GetLanguage()
{
    diagnostics::ErrorScope scope("GetLanguage");
    std::string file = LanguageFilePath();
    std::string code = LoadIniString("Language", "Language", file, false);
    if (!code.empty())
        return code;
    scope.Run([&] { SaveIni(std::string("1031"), "Language", "Language", file); });
    return "1031";
}
