#include "editing/help_display.h"

#include "diagnostics/error_scope.h"
#include "editing/editing_state.h"
#include "platform/system/text.h"
#include "platform/window/message_box.h"

std::string editing::ExpandLineMarkers(const std::string& text)
{
    const std::string marker = "<CRLF>";
    std::string rest = text, result;
    while (std::optional<platform::TextSpan> found = platform::FindIgnoringCase(rest, marker)) {
        result += rest.substr(0, found->begin) + "\r\n";
        rest.erase(0, found->end);
    }
    return result + rest;
}

void editing::ShowHelpText(platform::Control& control)
{
    if (!editing::State().HelpMode)
        return;
    diagnostics::ErrorScope scope("ShowHelpText", diagnostics::ErrorScope::Silenced);
    std::string text;
    scope.Run([&] { text = HelpText(control.HelpId()); });
    scope.Run([&] {
        platform::ShowMessageBox(
            { ExpandLineMarkers(text), "Info:", platform::Buttons::Ok, platform::kInformation });
    });
}

void editing::RevertCheckAndShowHelp(platform::Control& checkBox)
{
    if (!editing::State().HelpMode)
        return;
    bool& reverting = State().RevertingCheckClick;
    if (reverting) {
        reverting = false;
        return;
    }
    reverting = true;
    checkBox.SetValue(checkBox.Value() == 0 ? 1 : 0);
    ShowHelpText(checkBox);
}
