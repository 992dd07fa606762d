// Where the program lies and which component it configures. The executable Lobix_Config in
// /opt/hmi/Tools configures the component Lobix of the installation /opt/hmi.
#pragma once

#include <string>

namespace diagnostics {

// The parent of the program folder; "" when the program folder is the root.
std::string InstallationFolder();

// Installation folder & "/" & component name.
std::string ComponentFolder();

// The executable name less its last seven characters.
std::string GetOCXName();

// The program's version numbers as major.minor.revision ("1.0.0").
std::string ProgramVersion();

// The path's last component: everything after its last "/".
std::string GetFileNameOnly(const std::string& path);

}
