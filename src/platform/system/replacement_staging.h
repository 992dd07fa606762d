// The first step of a replacement, shared by its parts: finding the file a path leads to,
// whether it may be replaced, and its new content staged beside it under a temporary name.
#pragma once

#include "platform/system/file_update.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace platform {

// The file a replacement writes: the path as found, with the symbolic links at its end followed
// to the file they name. Nothing when the links go round in a circle or cannot be read.
std::optional<std::string> ReplacementTarget(const std::string& path);

// Why the file at `target` (`old` when it exists) cannot be replaced by rename; "" when it can.
std::string ReplacementRefusal(const std::string& target, const struct stat* old);

// A new file beside `target` with the update's content and what the file it replaces is (`old`,
// when there is one), synced to disk; "" with `why` set when it cannot be made, and then no
// temporary file is left.
std::string StageReplacement(
    const std::string& target, const struct stat* old, const FileUpdate& update, std::string& why);

// A free name beside `target` for a second name of the file: its name, the mark, six letters.
std::string SecondName(const std::string& target);

// The phrase for the file operation that has just failed: "could not be written (" and errno's
// words ")".
std::string CouldNotBeWritten();

}
