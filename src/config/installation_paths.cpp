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

std::string config::PathBelow(const std::string& folder, const std::string& relative)
{
    return (!folder.empty() && folder.back() == '/') ? folder + relative : folder + "/" + relative;
}

std::string config::ComponentFilePath(const std::string& suffix)
{
    return diagnostics::ComponentFolder() + "/" + diagnostics::GetOCXName() + suffix;
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
            path = ExistingOrEmpty(PathBelow(folder, "parameter/program.ini"));
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
        std::string composed = ComponentFilePath(".cfg");
        path = ExistingOrEmpty(composed);
        if (path.empty()) {
            diagnostics::ShowFault("File not found: " + std::string(diagnostics::kLfCr)
                + platform::UpperCase(composed));
            platform::EndProcess(1);
        }
    });
    return path;
}

std::string config::GetPathOCXMDB() { return platform::ResolvePath(ComponentFilePath(".mdb")); }

std::string config::GetPathSourceOCXMDB()
{
    diagnostics::ErrorScope scope("GetPathSourceOCXMDB");
    std::string path;
    scope.Run([&] { path = ExistingOrEmpty(ComponentFilePath("_Source.mdb")); });
    return path;
}

std::string config::GetPathMachineCopyMDB(const std::string& configurationIniPath)
{
    diagnostics::ErrorScope scope("GetPathMachineCopyMDB");
    std::string path;
    scope.Run([&] {
        std::string folder = LoadIniString("Common", "SaveAndRestore", configurationIniPath, false);
        std::string component = diagnostics::GetOCXName();
        path = ExistingOrEmpty(PathBelow(folder, component + "/" + component + ".mdb"));
    });
    return path;
}
