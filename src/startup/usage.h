// What `--help` and `--version` print, as Linux users expect of a program.
#pragma once

#include <optional>
#include <string>

namespace startup {

// The text for a command line that is exactly "--help" or "--version"; nothing for any other.
// Neither reads nor writes a file.
std::optional<std::string> UsageText(int argc, char** argv);

}
