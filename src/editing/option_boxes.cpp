#include "editing/option_boxes.h"

#include "config/cam_settings.h"
#include "diagnostics/error_scope.h"
#include "editing/editing_state.h"
#include "editing/help_display.h"
#include "platform/window/toolkit.h"

static bool Ticked(const char* name) { return platform::FindControl(name)->Value() == 1; }

static void StoreSpeedControl(const char* handlerName)
{
    diagnostics::ErrorScope scope(handlerName);
    if (editing::State().HelpMode)
        return;
    scope.Run([&] {
        config::CamModel& model = config::Model();
        config::MachineCell(model.WithoutSpeedControl, model.CurrentMachine)
            = Ticked("CheckSpeedControl");
    });
}

static void StoreCams270(const char* handlerName)
{
    diagnostics::ErrorScope scope(handlerName);
    if (editing::State().HelpMode)
        return;
    scope.Run([&] { config::Model().Cams270 = Ticked("Check270Kurven"); });
}

void editing::CheckSpeedControl_KeyUp() { StoreSpeedControl("CheckSpeedControl_KeyUp"); }

void editing::CheckSpeedControl_MouseUp() { StoreSpeedControl("CheckSpeedControl_MouseUp"); }

void editing::Check270Kurven_KeyUp() { StoreCams270("Check270Kurven_KeyUp"); }

void editing::Check270Kurven_MouseUp() { StoreCams270("Check270Kurven_MouseUp"); }

void editing::CheckSpeedControl_Click()
{
    RevertCheckAndShowHelp(*platform::FindControl("CheckSpeedControl"));
}

void editing::Check270Kurven_Click()
{
    RevertCheckAndShowHelp(*platform::FindControl("Check270Kurven"));
}
