// Temporary files that a replacement left behind when the program was killed in the middle of it.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Removes, beside the file each path's replacement writes, the regular files named as its
// temporary files are (the file's name, ".tmp" and six letters or digits). Nothing else is
// touched; only one run may be going on (LockFolder). Returns the paths removed.
std::vector<std::string> RemoveTemporaryFilesBeside(const std::vector<std::string>& paths);

}
