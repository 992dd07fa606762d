// The files of one replacement as the step that renames them knows them, the record that lets a
// later run undo a step that was killed, and the undo itself.
#pragma once

#include "platform/system/file_update.h"

#include <set>
#include <string>
#include <vector>

namespace platform {

// One file of a replacement: its new content waits in `temporary`; `backup` is a second name
// of the file it replaces ("" when there is none), which `keep` leaves behind.
struct ReplacedFile {
    std::string target {}, temporary {}, backup {};
    bool keep = false;
};

// Writes the record of `entries` to `recordPath` through a temporary file of its own; false when
// it cannot, with no temporary file left. The caller syncs its folder.
bool WriteReplacementRecord(
    const std::string& recordPath, const std::vector<ReplacedFile>& entries);

// The folders of the entries' files and of the record ("" for none).
std::set<std::string> FoldersOf(
    const std::vector<ReplacedFile>& entries, const std::string& recordPath);

// Syncs the folder, so that the renames in it last; false when it cannot be opened or synced.
bool SyncFolder(const std::string& folder);

// Syncs each folder once; the first that fails, or "".
std::string SyncFolders(const std::set<std::string>& folders);

// Puts every file's old content back (a new file without one is removed) and removes the
// temporary files; then, when all that succeeded, the record ("" for none). Each step can be
// repeated, so a run that stops in the middle of it is finished by the next one. The first step
// that fails is returned.
ReplaceFailure UndoReplacement(
    const std::vector<ReplacedFile>& entries, const std::string& recordPath);

}
