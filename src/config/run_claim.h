// One run per installation at a time, and what killed runs left behind.
#pragma once

#include <string>

namespace config {

// Claims the installation for this run: waits a few seconds for another run of it to end, then
// refuses with a fault message and ends the program with status 1, nothing touched. Then puts
// back the files of a save that a killed run left half done (ending the program with status 1
// when that fails), and removes the temporary files that killed runs left beside the files this
// program replaces.
void ClaimInstallation();

// Where a save records itself while it replaces several files: beside the component
// configuration file.
std::string SaveRecordPath();

}
