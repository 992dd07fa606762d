// Saving the cam settings on OK: program.ini, then the edit-info record.
#pragma once

#include <string>

namespace dialog {

// The installation's program.ini, composed when it does not exist yet.
std::string ProgramIniForSaving();

// Saves the model of every edited machine and the project-wide switch to the installation's
// program.ini (creating it when missing), then writes the edit-info record. Each file is
// replaced once, at the end; when one cannot be written, a fault message names it and the
// program ends with status 1, every file left as it was.
void WriteInputs();

}
