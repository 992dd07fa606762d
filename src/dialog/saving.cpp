#include "dialog/saving.h"

#include "config/cam_settings.h"
#include "config/edit_info.h"
#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "platform/profile/profile.h"

#include <algorithm>

std::string dialog::ProgramIniForSaving()
{
    std::string file = config::GetProgramIniPath(config::kProgramIniForWriting);
    // A missing program.ini is created, so no edit is lost.
    return file.empty() ? config::InstallationProgramIniPath() : file;
}

void dialog::WriteInputs()
{
    diagnostics::ErrorScope scope("WriteInputs");
    const config::CamModel& model = config::Model();
    // Every entry goes to memory first and each file is replaced once; inside the OK sequence,
    // which holds the writes of all its steps, only when it saves everything.
    platform::HeldProfileWrites held;
    std::string file, valid;
    scope.Run([&] {
        file = ProgramIniForSaving();
        valid = config::GetValidMachines();
    });
    int machines = std::min(config::MachineCount(), config::kMaxMachines);
    for (int m = 1; m <= machines; ++m) {
        bool selected = false;
        scope.Run([&] { selected = config::MachineSelected(m, valid); });
        if (!selected)
            continue;
        for (int c = 1; c <= config::kCams; ++c)
            for (const config::CamArray& array : config::kCamArrays)
                scope.Run([&] {
                    config::SaveIni((model.*array.values)[m][c], config::MachineSection(m),
                        array.iniKey + std::to_string(c), file);
                });
        scope.Run([&] {
            config::SaveIni(model.WithoutSpeedControl[m], config::MachineSection(m),
                "CamWithoutSpeedControl", file);
        });
    }
    scope.Run([&] { config::SaveIni(model.Cams270, "Machine1", "CamNr270", file); });
    scope.Run([&] { config::WriteEditInfo(); });
    platform::ReplaceFailure failure = held.Store();
    if (!failure.file.empty()) {
        diagnostics::ShowFault("File '" + failure.file + "' " + failure.reason + "."
            + diagnostics::kLfCr + "The cam settings were not saved.");
        diagnostics::EndProgram();
    }
}
