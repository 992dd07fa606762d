// What a replacement of files is given and what it answers: each file's new content, and what
// stopped it. Its own header, so that the parts of a replacement share them without including
// the replacement itself.
#pragma once

#include <optional>
#include <string>

namespace platform {

// What follows a file's name in the names of its temporary files, before six letters or digits.
inline constexpr const char* kTemporaryMark = ".tmp";

// One file's new content.
struct FileUpdate {
    std::string path; // as composed; found without regard to case
    std::string content;
    // Nanoseconds since the epoch; unset: the time it is written.
    std::optional<long long> lastWriteTime {};
    // A name beside the file that keeps the file it replaces; "" for none.
    std::string keepOriginalAs {};
};

// What stopped a replacement: the file and why, as strerror tells it; an empty file: none.
struct ReplaceFailure {
    std::string file;
    std::string reason;
};

}
