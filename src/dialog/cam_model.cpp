#include "dialog/cam_model.h"

#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/edit_info.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "dialog/main_window.h"
#include "platform/profile/profile.h"
#include "platform/window/toolkit.h"

#include <algorithm>

dialog::CamModel& dialog::Model()
{
    static CamModel model;
    return model;
}

short& dialog::CamCell(short (&values)[kMaxMachines + 1][kCams + 1], int machine, int cam)
{
    if (machine < 1 || machine > kMaxMachines || cam < 1 || cam > kCams)
        platform::Raise(platform::kSubscriptOutOfRange);
    return values[machine][cam];
}

const dialog::CamArray dialog::kCamArrays[kCamArrayCount] = {
    { &CamModel::ScaleBegin, "CamScaleBegin", 0 },
    { &CamModel::ScaleEnd, "CamScaleEnd", 359 },
    { &CamModel::ScaleUnit, "CamUnit", 1 },
};

static std::string MachineSection(int machine)
{
    return "Machine" + std::to_string(machine);
}

void dialog::SetupUserInterFace()
{
    diagnostics::ErrorScope scope("SetupUserInterFace");
    CamModel& model = Model();
    // The several hundred reads take the file from disk once.
    platform::HeldProfileWrites held;
    std::string file, valid;
    platform::Control& tabs = *platform::FindControl("TabStripMachine");
    scope.Run([&] {
        file = config::GetProgramIniPath(config::kProgramIniForReading);
        valid = config::GetValidMachines();
    });
    scope.Run([&] { tabs.RemoveTab(1); });
    int machines = std::min(config::MachineCount(), kMaxMachines);
    for (int m = 1; m <= machines; ++m) {
        bool selected = false;
        scope.Run([&] { selected = config::MachineSelected(m, valid); });
        if (selected) {
            scope.Run([&] {
                tabs.AddTab(config::Project().MachineNames[m]);
                model.TabMachine[tabs.TabCount()] = static_cast<short>(m);
            });
            for (int c = 1; c <= kCams; ++c)
                for (const CamArray& array : kCamArrays)
                    scope.Run([&] {
                        short value = config::LoadIniInteger(MachineSection(m), array.iniKey + std::to_string(c), file, false);
                        CamCell(model.*array.values, m, c) = value == -1 ? array.fallback : value;
                    });
        }
        scope.Run([&] {
            model.WithoutSpeedControl[m]
                = config::LoadIniBoolean(MachineSection(m), "CamWithoutSpeedControl", file, false);
        });
    }
    scope.Run([&] {
        model.Cams270 = config::LoadIniBoolean("Machine1", "CamNr270", file, false);
        platform::FindControl("Check270Kurven")->SetValue(model.Cams270 ? 1 : 0);
    });
    scope.Run([&] {
        // Without an edited machine there is no tab to show: the cam fields stay unavailable.
        if (tabs.TabCount() == 0) {
            EnableCamFields(false);
            return;
        }
        tabs.SelectTab(1);
        TabStripMachine_Click();
    });
}

std::string dialog::ProgramIniForSaving()
{
    std::string file = config::GetProgramIniPath(config::kProgramIniForWriting);
    // A missing program.ini is created, so no edit is lost.
    return file.empty() ? config::InstallationProgramIniPath() : file;
}

void dialog::WriteInputs()
{
    diagnostics::ErrorScope scope("WriteInputs");
    const CamModel& model = Model();
    // Every entry goes to memory first and each file is replaced once, so a crash leaves it old
    // or new, never half of each.
    platform::HeldProfileWrites held;
    std::string file, valid;
    scope.Run([&] {
        file = ProgramIniForSaving();
        valid = config::GetValidMachines();
    });
    int machines = std::min(config::MachineCount(), kMaxMachines);
    for (int m = 1; m <= machines; ++m) {
        bool selected = false;
        scope.Run([&] { selected = config::MachineSelected(m, valid); });
        if (!selected)
            continue;
        for (int c = 1; c <= kCams; ++c)
            for (const CamArray& array : kCamArrays)
                scope.Run([&] {
                    config::SaveIni((model.*array.values)[m][c], MachineSection(m), array.iniKey + std::to_string(c), file);
                });
        scope.Run([&] {
            config::SaveIni(model.WithoutSpeedControl[m], MachineSection(m), "CamWithoutSpeedControl", file);
        });
    }
    scope.Run([&] { config::SaveIni(model.Cams270, "Machine1", "CamNr270", file); });
    scope.Run([&] { diagnostics::WriteEditInfo(); });
    std::string failed = held.Store();
    if (!failed.empty()) {
        diagnostics::ShowFault("File '" + failed + "' could not be written." + diagnostics::kLfCr
            + "The cam settings were not saved.");
        diagnostics::EndProgram();
    }
}
