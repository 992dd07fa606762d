#include "dialog/closing.h"

#include "diagnostics/abort_question.h"
#include "diagnostics/error_scope.h"
#include "dialog/cam_model.h"
#include "dialog/main_window.h"
#include "editing/help_display.h"
#include "platform/exit.h"
#include "platform/toolkit.h"
#include "presetdb/extension_driver.h"

void dialog::CommandOK_Click()
{
    diagnostics::ErrorScope scope("CommandOK_Click");
    platform::Control& ok = *platform::FindControl("CommandOK");
    if (Window().HelpMode) {
        scope.Run([&] { editing::ShowHelpText(ok); });
        return;
    }
    scope.Run([&] { ok.SetEnabled(false); });
    scope.Run([&] { platform::FindControl("CommandCancel")->SetEnabled(false); });
    scope.Run([&] { CloseMe(); });
}

void dialog::CommandCancel_Click()
{
    diagnostics::ErrorScope scope("CommandCancel_Click");
    if (Window().HelpMode) {
        scope.Run([&] { editing::ShowHelpText(*platform::FindControl("CommandCancel")); });
        return;
    }
    scope.Run([&] {
        if (diagnostics::ConfirmCancel())
            platform::EndProcess(0);
    });
}

void dialog::Form_QueryUnload(bool& cancel)
{
    diagnostics::ErrorScope scope("Form_QueryUnload");
    if (Window().OkSequenceRunning) {
        cancel = true;
        return;
    }
    scope.Run([&] { cancel = !diagnostics::ConfirmCancel(); });
}

void dialog::CloseMe()
{
    diagnostics::ErrorScope scope("CloseMe");
    Window().OkSequenceRunning = true;
    scope.Run([&] { platform::ProcessPendingMessages(); });
    scope.Run([&] { platform::SetMousePointer(platform::kHourglassPointer); });
    scope.Run([&] { presetdb::WorkOnMDB(); });
    scope.Run([&] { WriteInputs(); });
    scope.Run([&] { platform::SetMousePointer(platform::kDefaultPointer); });
    platform::EndProcess(0);
}
