// Replacing files so that they are never torn and keep what they are: new content goes to a
// temporary file beside each file ("<name>.tmp" and six letters or digits), is synced, and then
// renamed over it. A replaced file keeps its owner, group, mode and extended attributes; a new
// one gets the mode the umask allows. Symbolic links are followed: the file a link leads to gets
// the content and the link stays.
#pragma once

#include "platform/system/file_update.h"

#include <string>
#include <vector>

namespace platform {

// Why the file could not be replaced now, in words that follow its name ("cannot be written",
// "is not a file", "has other hard links", "belongs to another user", "has extended attributes
// that cannot be kept"); "" when it could. The `trial` makes a temporary file beside it with its
// owner and attributes, to find what only trying shows.
std::string WhyNotReplaceable(const std::string& path, bool trial = true);

// Replaces every file at one moment, or none. Each new file is written and synced first; then
// the old files are renamed away and the new ones into place in one short step during which
// SIGTERM, SIGINT and SIGHUP wait. A failure undoes the step's renames, so every file is as it
// was. Several files are recorded in `recordPath` before the step, so that a run killed inside it
// is undone at the next start (UndoInterruptedReplacement).
ReplaceFailure ReplaceFiles(const std::vector<FileUpdate>& updates, const std::string& recordPath);

// Puts back every file of the replacement that `recordPath` records, if there is one, and
// removes the record: a run killed inside the step leaves all the files as they were before it.
ReplaceFailure UndoInterruptedReplacement(const std::string& recordPath);

}
