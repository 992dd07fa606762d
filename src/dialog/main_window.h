// The program's one window: its controls, its start-up sequence (which is the program's
// start-up), the machine tabs and the help button.
#pragma once

#include <string>

namespace dialog {

// Creates the window and every control of its design, hidden, with the events wired.
void BuildWindow();

// Start-up: texts, configuration INI, caption by start mode, machine list, model and tabs; in
// silent mode presses OK itself, otherwise enables OK and Cancel and puts the focus on the first
// scale begin.
void Form_Load();
void Form_Activate();
void Form_Resize();

// Switches help mode; the button is green while it is on and the tabs cannot be switched.
void CommandQuest_Click();

// Builds the window, loads it, and (unless it ended in silent mode) shows it until it closes.
int RunDialog();

}
