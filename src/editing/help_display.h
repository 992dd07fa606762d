// Help mode: a click on a control shows its help text instead of acting.
#pragma once

#include "platform/window/toolkit.h"

#include <string>

namespace editing {

// In help mode, shows the help text of the control's help number in an "Info:" box, with every
// "<CRLF>" (any letter case) as a line break; otherwise does nothing.
void ShowHelpText(platform::Control& control);

// In help mode, puts the check box back to its state before the click and shows its help text.
void RevertCheckAndShowHelp(platform::Control& checkBox);

// `text` with each "<CRLF>" marker, in any letter case, replaced by CR LF.
std::string ExpandLineMarkers(const std::string& text);

}
