// Temporary files that a replacement left behind when the program was killed in the middle of it.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Removes, beside the file each path's replacement writes, the regular files named as its
// temporary files are (the file's name, ".tmp" and six letters or digits) and last written
// before `before` (nanoseconds since the epoch), so a run still going on keeps its own. Nothing
// else is touched. Returns the paths removed.
std::vector<std::string> RemoveLeftoverTemporaries(const std::vector<std::string>& paths, long long before);

}
