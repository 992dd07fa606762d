// The ways out of the dialog: OK applies the edits and ends; Cancel and the close box ask once
// before discarding them.
#pragma once

namespace dialog {

// Help mode: the OK button's help text. Otherwise disables OK and Cancel and runs CloseMe.
void CommandOK_Click();

// Help mode: the Cancel button's help text. Otherwise ends without saving once confirmed.
void CommandCancel_Click();

// The close request: keeps the window open unless the cancel is confirmed. Ignored while the
// OK sequence is working, which ends the program itself.
void Form_QueryUnload(bool& cancel);

// The OK sequence: hourglass, database extension, settings and edit-info record saved, end.
// Before it starts, a file that could not be read or cannot be replaced ends it. Any failure
// reported on the way ends it too. The rebuilt databases, program.ini and the component
// configuration file are then written at one moment, all or none. Whatever ends it says what in
// a fault message and ends the program with status 1, every file as it was.
void CloseMe();

}
