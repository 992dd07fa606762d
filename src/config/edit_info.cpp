#include "config/edit_info.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/system/process.h"

#include <cstdio>

std::string config::EditorMark(const std::string& environmentEntry)
{
    size_t equals = environmentEntry.find('=');
    std::string value
        = equals == std::string::npos ? environmentEntry : environmentEntry.substr(equals + 1);
    std::string mark;
    for (unsigned char c : value) {
        if (c == '-' || c == '_')
            continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", c + 5);
        mark += hex;
    }
    return mark;
}

void config::WriteEditInfo()
{
    diagnostics::ErrorScope scope("WriteEditInfo");
    const platform::ProcessFacts& process = platform::Process();
    scope.Run([&] {
        std::string version = diagnostics::ProgramVersion()
            + (diagnostics::Modes().StartModeIntegrated ? " - Integrated" : " - Standalone");
        config::SaveIni(version, "Info", "S_Prog", config::GetCFGPath());
    });
    scope.Run([&] {
        config::SaveIni(
            EditorMark(process.firstEnvironmentEntry), "Info", "S_Editor", config::GetCFGPath());
    });
}
