// The replacement itself: every file staged, the record written, then the renames in one short
// step with the signals that end a run held. A failure anywhere undoes what was done, so every
// file is as it was, and is returned naming the file.
#include "platform/system/file_replacement.h"

#include "platform/system/file_io.h"
#include "platform/system/files.h"
#include "platform/system/replacement_record.h"
#include "platform/system/replacement_staging.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

    // SIGTERM, SIGINT and SIGHUP wait while one exists.
    struct HeldSignals {
        sigset_t old {};
        HeldSignals()
        {
            sigset_t held;
            sigemptyset(&held);
            for (int signal : { SIGTERM, SIGINT, SIGHUP })
                sigaddset(&held, signal);
            pthread_sigmask(SIG_BLOCK, &held, &old);
        }
        ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &old, nullptr); }
    };

}

// Stages every update; the first file that cannot be staged stops it, with nothing left behind.
static ReplaceFailure StageAll(
    const std::vector<FileUpdate>& updates, std::vector<ReplacedFile>& files)
{
    for (const FileUpdate& update : updates) {
        std::optional<std::string> target = ReplacementTarget(update.path);
        struct stat info { };
        bool exists = target && ::stat(target->c_str(), &info) == 0;
        std::string why
            = !target ? "cannot be written" : ReplacementRefusal(*target, exists ? &info : nullptr);
        if (why.empty() && std::any_of(files.begin(), files.end(), [&](const ReplacedFile& e) {
                return e.target == *target;
            }))
            why = "is named twice";
        ReplacedFile file { target.value_or("") };
        if (why.empty())
            file.temporary = StageReplacement(*target, exists ? &info : nullptr, update, why);
        if (why.empty() && exists) {
            file.keep = !update.keepOriginalAs.empty();
            file.backup = file.keep ? update.keepOriginalAs : SecondName(*target);
            if (::link(target->c_str(), file.backup.c_str()) != 0) {
                why = CouldNotBeWritten();
                ::unlink(file.temporary.c_str());
            }
        }
        if (!why.empty()) {
            UndoReplacement(files, "");
            return { update.path, why };
        }
        files.push_back(file);
    }
    return {};
}

ReplaceFailure ReplaceFiles(const std::vector<FileUpdate>& updates, const std::string& recordPath)
{
    std::vector<ReplacedFile> files;
    if (ReplaceFailure failure = StageAll(updates, files); !failure.file.empty())
        return failure;
    const std::string record = files.size() > 1 ? recordPath : "";
    if (!record.empty() && !WriteReplacementRecord(record, files)) {
        ReplaceFailure failure { record, CouldNotBeWritten() };
        UndoReplacement(files, "");
        return failure;
    }
    const std::set<std::string> folders = FoldersOf(files, record);
    if (std::string folder = SyncFolders(folders); !folder.empty()) {
        ReplaceFailure failure { folder, CouldNotBeWritten() };
        UndoReplacement(files, record);
        return failure;
    }
    ReplaceFailure failure;
    {
        HeldSignals held;
        for (const ReplacedFile& e : files)
            if (failure.file.empty() && ::rename(e.temporary.c_str(), e.target.c_str()) != 0)
                failure = { e.target, CouldNotBeWritten() };
        if (std::string folder = failure.file.empty() ? SyncFolders(folders) : ""; !folder.empty())
            failure = { folder, CouldNotBeWritten() };
        if (failure.file.empty() && !record.empty()
            && (::unlink(record.c_str()) != 0 || !SyncFolder(FolderOf(record))))
            failure = { record, CouldNotBeWritten() };
        if (!failure.file.empty())
            UndoReplacement(files, record);
    }
    if (!failure.file.empty())
        return failure;
    // A second name left behind by a failure here is swept at the next start.
    for (const ReplacedFile& e : files)
        if (!e.backup.empty() && !e.keep)
            ::unlink(e.backup.c_str());
    ForgetResolvedPaths();
    return {};
}

}
