// The machine tabs: one per edited machine, each showing that machine's 40 cams.
#pragma once

namespace dialog {

// Loads the cam settings from program.ini and builds one tab per edited machine, then shows
// the first.
void SetupUserInterFace();

// Shows the machine of the selected tab and names its cam boxes; ignored in help mode.
void TabStripMachine_Click();

// Ctrl+Tab and the other tab keys: selects the next tab (`step` 1) or the previous one (-1),
// round the strip, and shows its machine as a click on it does; the focus then goes to the first
// scale begin, its text selected. Ignored in help mode, where the tabs cannot be chosen.
void Form_SwitchTab(int step);

// Makes the 120 cam fields available or not (unavailable while no machine is shown).
void EnableCamFields(bool enabled);

}
