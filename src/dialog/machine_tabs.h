// The machine tabs: one per edited machine, each showing that machine's 40 cams.
#pragma once

namespace dialog {

// Loads the cam settings from program.ini and builds one tab per edited machine, then shows
// the first.
void SetupUserInterFace();

// Shows the machine of the selected tab and names its cam boxes; ignored in help mode.
void TabStripMachine_Click();

// Makes the 120 cam fields available or not (unavailable while no machine is shown).
void EnableCamFields(bool enabled);

}
