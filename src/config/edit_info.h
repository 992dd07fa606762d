// The record of an edit in the component configuration file: the program's version and start
// mode, and an editor mark taken from the environment.
#pragma once

#include <string>

namespace config {

// Writes [Info] S_Prog and S_Editor to the component configuration file.
void WriteEditInfo();

// Each character of the first environment entry's value, except "-" and "_", as the upper-case
// hexadecimal form of its 8-bit code plus 5 ("abc" gives "666768").
std::string EditorMark(const std::string& environmentEntry);

}
