#include "config/installation_paths.h"

#include "config/ini_access.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/system/text.h"

// The path as found on disk when the file exists, else "".
static std::string ExistingOrEmpty(const std::string& path)
{
    return platform::FileExists(path) ? platform::ResolvePath(path) : std::string();
}

static std::string BelowFolder(const std::string& folder, const std::string& relative)
{
    return (!folder.empty() && folder.back() == '/') ? folder + relative : folder + "/" + relative;
}

std::string config::GetTVXConfigurationIniPath()
{
    diagnostics::ErrorScope scope("GetTVXConfigurationIniPath");
    std::string path;
    scope.Run([&] {
        path = ExistingOrEmpty(
            diagnostics::InstallationFolder() + "/parameter/tvxconfiguration.ini");
    });
    return path;
}

std::string config::InstallationProgramIniPath()
{
    return diagnostics::InstallationFolder() + "/parameter/Program.ini";
}

std::string config::GetProgramIniPath(long requestCode)
{
    diagnostics::ErrorScope scope("GetProgramIniPath");
    std::string path;
    scope.Run([&] {
        if (requestCode == kProgramIniForReading && diagnostics::Modes().StartModeIntegrated) {
            std::string folder
                = LoadIniString("Common", "SaveAndRestore", GetTVXConfigurationIniPath(), false);
            path = ExistingOrEmpty(BelowFolder(folder, "parameter/program.ini"));
        } else {
            path = ExistingOrEmpty(InstallationProgramIniPath());
        }
    });
    return path;
}

std::string config::GetCFGPath()
{
    diagnostics::ErrorScope scope("GetCFGPath");
    std::string path;
    scope.Run([&] {
        std::string composed
            = diagnostics::ComponentFolder() + "/" + diagnostics::GetOCXName() + ".cfg";
        path = ExistingOrEmpty(composed);
        if (path.empty()) {
            diagnostics::ShowFault("File not found: " + std::string(diagnostics::kLfCr)
                + platform::UpperCase(composed));
            platform::EndProcess(1);
        }
    });
    return path;
}

std::string config::GetPathOCXMDB()
{
    std::string composed
        = diagnostics::ComponentFolder() + "/" + diagnostics::GetOCXName() + ".mdb";
    return platform::ResolvePath(composed);
}

std::string config::GetPathSourceOCXMDB()
{
    diagnostics::ErrorScope scope("GetPathSourceOCXMDB");
    std::string path;
    scope.Run([&] {
        path = ExistingOrEmpty(
            diagnostics::ComponentFolder() + "/" + diagnostics::GetOCXName() + "_Source.mdb");
    });
    return path;
}

std::string config::GetPathMachineCopyMDB(const std::string& configurationIniPath)
{
    diagnostics::ErrorScope scope("GetPathMachineCopyMDB");
    std::string path;
    scope.Run([&] {
        std::string folder = LoadIniString("Common", "SaveAndRestore", configurationIniPath, false);
        std::string component = diagnostics::GetOCXName();
        path = ExistingOrEmpty(BelowFolder(folder, component + "/" + component + ".mdb"));
    });
    return path;
}
