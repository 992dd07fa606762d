// Files as the program sees them: names matched without regard to case, lines appended one at
// a time, and replacements that never leave a torn file.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The path as it exists on disk: each component that does not exist as written is looked up
// without regard to case in its folder (first match of a sorted listing). Components that are
// not found at all are kept as composed, so the result also names a file to be created.
// Each path is looked up once per run; creating a file through this layer renews the look-ups.
std::string ResolvePath(const std::string& path);

// Drops every remembered look-up, for files made or renamed by others.
void ForgetResolvedPaths();

// True when a regular file (not a folder) exists at the path, matched without regard to case.
bool FileExists(const std::string& path);

// Reads the whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// A replacement writes through symbolic links: the file a link names (following every level) is
// replaced and the link stays.

// The file a replacement writes: the path as found, with the symbolic links at its end followed
// to the file they name, so the links stay and the file they name gets the content. Nothing when
// the links go round in a circle or cannot be read.
std::optional<std::string> ReplacementTarget(const std::string& path);

// A replacement's temporary file is named after the file it replaces: its name, this mark and
// six letters or digits.
inline constexpr const char* kTemporaryMark = ".tmp";

// Writes `content` to a temporary file beside `path`, then renames it over `path`. A read-only
// existing file is refused. Keeps an existing file's permission bits. False on any failure, with
// the old file left as it was and no temporary file behind.
bool ReplaceFileContent(const std::string& path, const std::string& content);

// Replaces several files, each (path, content) through a temporary file beside it: every
// temporary file is written and synced to disk before the first rename, then each is renamed
// over its file and the folder synced. A file that cannot be written stops it before any rename,
// leaving every file as it was. Returns the path of the file that failed, "" when all were replaced.
std::string ReplaceFileContents(const std::vector<std::pair<std::string, std::string>>& files);

// True when the file could be replaced now: it is missing or a regular file its owner may write,
// its folder exists and its owner may write it, and a temporary file can be made there.
bool CanReplaceFile(const std::string& path);

// Appends `line` and CR LF to the file, creating it when missing; opened and closed for this
// line alone. False when the file cannot be written.
bool AppendLine(const std::string& path, const std::string& line);

// Copies `from` over `to` through a temporary file and a rename. False on any failure.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Raises the failure of the file operation of this layer that has just returned false: 61 "Disk
// full" when the disk had no room, else 75 "Path/File access error".
[[noreturn]] void RaiseFileFailure();

// A file's last-write time in nanoseconds since the epoch; nothing when it cannot be read.
std::optional<long long> LastWriteTime(const std::string& path);

// Sets the last-write time; the last-access time is left alone. False on failure.
bool SetLastWriteTime(const std::string& path, long long nanoseconds);

}
