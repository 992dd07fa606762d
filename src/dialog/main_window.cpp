#include "dialog/main_window.h"

#include "config/cam_settings.h"
#include "config/installation_paths.h"
#include "config/project_settings.h"
#include "diagnostics/error_scope.h"
#include "diagnostics/program_location.h"
#include "diagnostics/start_modes.h"
#include "dialog/closing.h"
#include "dialog/machine_tabs.h"
#include "dialog/window_state.h"
#include "editing/cam_fields.h"
#include "editing/editing_state.h"
#include "editing/localised_texts.h"
#include "editing/option_boxes.h"
#include "platform/system/process.h"
#include "platform/window/toolkit.h"
#include "startup/command_line.h"

using platform::ControlSpec;
using platform::ControlType;

namespace {

// The frames' columns of labels: "Nr", "Scala Anfang", "Scala Ende", "Bereich Einheit".
struct Heading {
    int left, width;
    const char* caption;
};
const Heading kHeadings[4] = {
    { 60, 300, "Nr" },
    { 330, 600, "Scala Anfang" },
    { 990, 600, "Scala Ende" },
    { 1800, 660, "Bereich Einheit" },
};
const int kFrameLefts[4] = { 120, 3000, 5880, 8760 };

int RowTop(int cam) { return 615 + 390 * ((cam - 1) % 10); }

// Help numbers of the cam-number labels: 13, but 14 and 15 for the second and third.
long LabelNrHelpId(int cam) { return cam == 2 ? 14 : cam == 3 ? 15 : 13; }

platform::Control& Add(ControlSpec design) { return platform::AddControl(design); }

void AddCamFrame(platform::Control& mainFrame, int frame)
{
    platform::Control& box = Add({ .type = ControlType::Frame,
        .name = "Frame",
        .index = frame,
        .parent = &mainFrame,
        .left = kFrameLefts[frame - 1],
        .top = 120,
        .width = 2790,
        .height = 4590 });
    for (int column = 1; column <= 4; ++column) {
        const Heading& heading = kHeadings[column - 1];
        Add({ .type = ControlType::Label,
            .name = "LabelBeschriftung",
            .index = 10 * frame + column,
            .parent = &box,
            .left = heading.left,
            .top = 120,
            .width = heading.width,
            .height = 420,
            .caption = heading.caption,
            .tag = "NoTTT",
            .helpId = 13 });
    }
    for (int cam = 10 * (frame - 1) + 1; cam <= 10 * frame; ++cam) {
        Add({ .type = ControlType::Label,
            .name = "LabelNr",
            .index = cam,
            .parent = &box,
            .left = 60,
            .top = RowTop(cam),
            .width = 270,
            .height = 360,
            .caption = std::to_string(cam),
            .tag = "NoTTT",
            .helpId = LabelNrHelpId(cam),
            .bold = false });
        for (const editing::CamFamily& family : editing::kCamFamilies)
            Add({ .type = ControlType::TextBox,
                .name = family.controlName,
                .index = cam,
                .parent = &box,
                .left = family.left,
                .top = RowTop(cam),
                .width = 600,
                .height = 360,
                .helpId = family.helpId,
                .fontPoints = 9.75 });
    }
}

void WireEvents()
{
    for (const editing::CamFamily& family : editing::kCamFamilies)
        for (int cam = 1; cam <= config::kCams; ++cam) {
            platform::Control& box = *platform::FindControl(family.controlName, cam);
            const editing::CamFamily* f = &family;
            box.onChange = [f, cam] { editing::CamField_Change(*f, cam); };
            box.onGotFocus = [f, cam] { editing::CamField_GotFocus(*f, cam); };
            box.onLostFocus = [f, cam] { editing::CamField_LostFocus(*f, cam); };
            box.onClick = [f, cam] { editing::CamField_Click(*f, cam); };
        }
    platform::Control& speed = *platform::FindControl("CheckSpeedControl");
    speed.onClick = editing::CheckSpeedControl_Click;
    speed.onKeyUp = editing::CheckSpeedControl_KeyUp;
    speed.onMouseUp = editing::CheckSpeedControl_MouseUp;
    platform::Control& cams270 = *platform::FindControl("Check270Kurven");
    cams270.onClick = editing::Check270Kurven_Click;
    cams270.onKeyUp = editing::Check270Kurven_KeyUp;
    cams270.onMouseUp = editing::Check270Kurven_MouseUp;
    platform::FindControl("TabStripMachine")->onClick = dialog::TabStripMachine_Click;
    platform::FindControl("CommandQuest")->onClick = dialog::CommandQuest_Click;
    platform::FindControl("CommandOK")->onClick = dialog::CommandOK_Click;
    platform::FindControl("CommandCancel")->onClick = dialog::CommandCancel_Click;
    platform::WindowEvents& events = platform::Events();
    events.onActivate = dialog::Form_Activate;
    events.onResize = dialog::Form_Resize;
    events.onQueryUnload = dialog::Form_QueryUnload;
    events.onSwitchTab = dialog::Form_SwitchTab;
}

}

void dialog::BuildWindow()
{
    platform::CreateWindow(11880, 8595, "Base TVXCFG-Erweiterung");
    Add({ .type = ControlType::Label,
        .name = "Header",
        .left = 30,
        .top = 30,
        .width = 11775,
        .height = 360,
        .caption = "Lobix - Konfiguration Kurven",
        .fontPoints = 13.5 });
    platform::Control& tabs = Add({ .type = ControlType::TabStrip,
        .name = "TabStripMachine",
        .top = 390,
        .width = 11880,
        .height = 6360,
        .tag = "NoTTT",
        .fontPoints = 12 });
    tabs.AddTab("Tab 1");
    platform::Control& mainFrame = Add({ .type = ControlType::Frame,
        .name = "MainFrame",
        .left = 90,
        .top = 810,
        .width = 11700,
        .height = 5820,
        .tag = "NoTTT" });
    for (int frame = 1; frame <= 4; ++frame)
        AddCamFrame(mainFrame, frame);
    platform::Control& frameKurve = Add({ .type = ControlType::Frame,
        .name = "FrameKurve",
        .parent = &mainFrame,
        .left = 120,
        .top = 5070,
        .width = 7500,
        .height = 630 });
    Add({ .type = ControlType::CheckBox,
        .name = "CheckSpeedControl",
        .parent = &frameKurve,
        .left = 60,
        .top = 195,
        .width = 5700,
        .height = 375,
        .caption = "keine Eingabeverriegelung für Drehzahl <> 0",
        .helpId = 12,
        .fontPoints = 12 });
    platform::Control& frameAllgemein = Add({ .type = ControlType::Frame,
        .name = "FrameAllgemein",
        .top = 6735,
        .width = 11880,
        .height = 930 });
    Add({ .type = ControlType::CheckBox,
        .name = "Check270Kurven",
        .parent = &frameAllgemein,
        .left = 75,
        .top = 120,
        .width = 5895,
        .height = 390,
        .caption = "260 Kurven (sonst 180)",
        .fontPoints = 12 });
    Add({ .type = ControlType::CommandButton,
        .name = "CommandQuest",
        .left = 7350,
        .top = 7710,
        .width = 975,
        .height = 855,
        .picture = platform::ButtonPicture::QuestionWithArrow,
        .accessibleName = "Help" });
    Add({ .type = ControlType::CommandButton,
        .name = "CommandOK",
        .left = 8400,
        .top = 7710,
        .width = 1695,
        .height = 855,
        .helpId = 1,
        .enabled = false,
        .picture = platform::ButtonPicture::GreenTick,
        .accessibleName = "OK" });
    Add({ .type = ControlType::CommandButton,
        .name = "CommandCancel",
        .left = 10170,
        .top = 7710,
        .width = 1695,
        .height = 855,
        .helpId = 2,
        .picture = platform::ButtonPicture::RedCross,
        .accessibleName = "Cancel" });
    WireEvents();
}

void dialog::Form_Load()
{
    diagnostics::ErrorScope scope("Form_Load");
    WindowState& window = Window();
    scope.Run([&] { editing::LoadToolTipTexts(); });
    scope.Run([&] { window.ConfigurationIniPath = config::GetTVXConfigurationIniPath(); });
    scope.Run([&] {
        std::string folder = diagnostics::GetFileNameOnly(platform::Process().programFolder);
        platform::SetWindowCaption("Erweiterte Konfiguration " + folder
            + (startup::GetStartModeIntegrated() ? " - integriert" : " - standalone"));
    });
    scope.Run([&] { config::GetExistingMachines(window.ConfigurationIniPath); });
    scope.Run([&] { SetupUserInterFace(); });
    scope.Run([&] {
        if (diagnostics::Modes().SilentMode) {
            CommandOK_Click();
            return;
        }
        platform::FindControl("CommandOK")->SetEnabled(true);
        platform::FindControl("CommandCancel")->SetEnabled(true);
        // Typing at once replaces the first value, as the box selects its text on getting focus.
        platform::FindControl(editing::kCamFamilies[0].controlName, 1)->SetFocus();
    });
}

void dialog::Form_Activate()
{
    diagnostics::ErrorScope scope("Form_Activate");
    // The OK sequence lets the window handle events while it works; OK must stay disabled then.
    if (Window().OkSequenceRunning)
        return;
    scope.Run([&] { platform::FindControl("CommandOK")->SetEnabled(true); });
}

// The controls keep their design places whatever the window's size: a resize has nothing to do.
void dialog::Form_Resize() { }

void dialog::CommandQuest_Click()
{
    bool& helpMode = editing::State().HelpMode;
    helpMode = !helpMode;
    platform::FindControl("CommandQuest")
        ->SetBackColor(helpMode ? platform::kGreen : platform::kButtonFaceColor);
    platform::FindControl("TabStripMachine")->SetEnabled(!helpMode);
}

int dialog::RunDialog()
{
    BuildWindow();
    Form_Load();
    return platform::ShowWindowAndRun();
}
