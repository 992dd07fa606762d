// Files as the program sees them: names matched without regard to case, whole files read, and
// lines appended one at a time. Replacing files is file_replacement.h's.
#pragma once

#include <optional>
#include <string>

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

// The file's bytes; nothing when there is no file at the path. A file that is there but cannot
// be read raises, naming it: 57 "Device I/O error", 70 "Permission denied", or 75 "Path/File
// access error" (a folder, or anything else).
std::optional<std::string> ReadExistingFile(const std::string& path);

// Reads the whole file as bytes; false when it is missing or cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// True when both paths lead to one file (through links, or as its hard links).
bool SameFile(const std::string& a, const std::string& b);

// Appends `line` and CR LF to the file, creating it when missing; opened and closed for this
// line alone. False when the file cannot be written.
bool AppendLine(const std::string& path, const std::string& line);

// A file's last-write time in nanoseconds since the epoch; nothing when it cannot be read.
std::optional<long long> LastWriteTime(const std::string& path);

}
