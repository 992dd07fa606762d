// The paths of every file the program works on, found by rule from the program's location and
// the start mode. Most return "" when the file does not exist.
#pragma once

#include <string>

namespace config {

enum ProgramIniRequest { kProgramIniForReading = 1, kProgramIniForWriting = 2 };

// installation folder/parameter/tvxconfiguration.ini, "" when missing.
std::string GetTVXConfigurationIniPath();

// Request 1, integrated: the program.ini below the SaveAndRestore folder; otherwise the
// installation's parameter/Program.ini. "" when the file does not exist.
std::string GetProgramIniPath(long requestCode);

// component folder/<component>.cfg. When it is missing, shows "File not found: " and ends the
// program.
std::string GetCFGPath();

// component folder/<component>.mdb; existence not tested.
std::string GetPathOCXMDB();

// component folder/<component>_Source.mdb, "" when missing.
std::string GetPathSourceOCXMDB();

// SaveAndRestore folder/<component>/<component>.mdb, "" when missing.
std::string GetPathMachineCopyMDB(const std::string& configurationIniPath);

// The installation's own program.ini, composed whether it exists or not (for creating it).
std::string InstallationProgramIniPath();

// component folder/<component> & `suffix` (".cfg", ".mdb", ...), composed, not looked up.
std::string ComponentFilePath(const std::string& suffix);

// `relative` below `folder`, with one "/" between them; "" stands for the root.
std::string PathBelow(const std::string& folder, const std::string& relative);

}
