#include "dialog/machine_tabs.h"

#include "config/cam_settings.h"
#include "config/ini_access.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_scope.h"
#include "editing/cam_fields.h"
#include "editing/editing_state.h"
#include "platform/profile/profile.h"
#include "platform/window/toolkit.h"

#include <algorithm>
#include <string>

namespace {

// Names for screen readers and tests: "Filler, cam 7, scale end".
void NameCamFields(const std::string& machineName)
{
    for (int cam = 1; cam <= config::kCams; ++cam)
        for (const editing::CamFamily& family : editing::kCamFamilies)
            platform::FindControl(family.controlName, cam)
                ->SetAccessibleName(
                    machineName + ", cam " + std::to_string(cam) + ", " + family.spokenName);
}

}

void dialog::SetupUserInterFace()
{
    diagnostics::ErrorScope scope("SetupUserInterFace");
    config::CamModel& model = config::Model();
    // The several hundred reads take the file from disk once.
    platform::HeldProfileWrites held;
    std::string file, valid;
    platform::Control& tabs = *platform::FindControl("TabStripMachine");
    scope.Run([&] {
        file = config::GetProgramIniPath(config::kProgramIniForReading);
        valid = config::GetValidMachines();
    });
    scope.Run([&] { tabs.RemoveTab(1); });
    int machines = std::min(config::MachineCount(), config::kMaxMachines);
    for (int m = 1; m <= machines; ++m) {
        bool selected = false;
        scope.Run([&] { selected = config::MachineSelected(m, valid); });
        if (selected) {
            scope.Run([&] {
                tabs.AddTab(config::Project().MachineNames[m]);
                model.TabMachine[tabs.TabCount()] = static_cast<short>(m);
            });
            for (int c = 1; c <= config::kCams; ++c)
                for (const config::CamArray& array : config::kCamArrays)
                    scope.Run([&] {
                        short value = config::LoadIniInteger(config::MachineSection(m),
                            array.iniKey + std::to_string(c), file, false);
                        config::CamCell(model.*array.values, m, c)
                            = value == -1 ? array.fallback : value;
                    });
        }
        scope.Run([&] {
            model.WithoutSpeedControl[m] = config::LoadIniBoolean(
                config::MachineSection(m), "CamWithoutSpeedControl", file, false);
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

void dialog::TabStripMachine_Click()
{
    diagnostics::ErrorScope scope("TabStripMachine_Click");
    if (editing::State().HelpMode)
        return;
    config::CamModel& model = config::Model();
    platform::Control& tabs = *platform::FindControl("TabStripMachine");
    short machine = 0;
    int tab = 0;
    scope.Run([&] {
        tab = tabs.SelectedTab();
        machine = config::MachineCell(model.TabMachine, tab);
    });
    scope.Run([&] {
        platform::FindControl("CheckSpeedControl")
            ->SetValue(config::MachineCell(model.WithoutSpeedControl, machine) ? 1 : 0);
    });
    scope.Run([&] { model.CurrentMachine = machine; });
    for (int cam = 1; cam <= config::kCams; ++cam)
        for (const editing::CamFamily& family : editing::kCamFamilies)
            scope.Run([&] {
                platform::FindControl(family.controlName, cam)
                    ->SetText(
                        std::to_string(config::CamCell(model.*family.array.values, machine, cam)));
            });
    scope.Run([&] { NameCamFields(tabs.TabCaption(tab)); });
}

void dialog::Form_SwitchTab(int step)
{
    diagnostics::ErrorScope scope("Form_SwitchTab");
    if (editing::State().HelpMode)
        return;
    platform::Control& tabs = *platform::FindControl("TabStripMachine");
    const int count = tabs.TabCount();
    if (count < 2)
        return;
    scope.Run([&] { tabs.SelectTab((tabs.SelectedTab() - 1 + step + count) % count + 1); });
    TabStripMachine_Click();
    const editing::CamFamily& first = editing::kCamFamilies[0];
    scope.Run([&] { platform::FindControl(first.controlName, 1)->SetFocus(); });
    // A box that had the focus already gets no focus event to select its new text.
    editing::CamField_GotFocus(first, 1);
}

void dialog::EnableCamFields(bool enabled)
{
    for (const editing::CamFamily& family : editing::kCamFamilies)
        for (int cam = 1; cam <= config::kCams; ++cam)
            platform::FindControl(family.controlName, cam)->SetEnabled(enabled);
    platform::FindControl("CheckSpeedControl")->SetEnabled(enabled);
}
