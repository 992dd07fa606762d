// The record of a replacement step and the way back. A file that cannot be put back, or a record
// that cannot be removed, is returned naming it; the record then stays, so that the next start
// tries again.
#include "platform/system/replacement_record.h"

#include "platform/system/failure.h"
#include "platform/system/file_io.h"
#include "platform/system/files.h"
#include "platform/system/replacement_staging.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace platform {

// The record: a mark, then for each entry its target, temporary file, backup and keep flag,
// every field ended by a NUL byte.
static constexpr const char kRecordMark[] = "Lobix_Config replacement 1";

static std::string RecordText(const std::vector<ReplacedFile>& entries)
{
    std::string text = std::string(kRecordMark) + '\0';
    for (const ReplacedFile& e : entries)
        for (const std::string& field :
            { e.target, e.temporary, e.backup, std::string(e.keep ? "1" : "0") })
            text += field + '\0';
    return text;
}

static std::optional<std::vector<ReplacedFile>> ParseRecord(const std::string& text)
{
    std::vector<std::string> fields;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\0', at);
        if (end == std::string::npos)
            return std::nullopt;
        fields.push_back(text.substr(at, end - at));
    }
    if (fields.empty() || fields[0] != kRecordMark || (fields.size() - 1) % 4 != 0)
        return std::nullopt;
    std::vector<ReplacedFile> entries;
    for (size_t i = 1; i < fields.size(); i += 4)
        entries.push_back({ fields[i], fields[i + 1], fields[i + 2], fields[i + 3] == "1" });
    return entries;
}

bool WriteReplacementRecord(const std::string& recordPath, const std::vector<ReplacedFile>& entries)
{
    std::string why;
    std::string temporary
        = StageReplacement(recordPath, nullptr, { recordPath, RecordText(entries) }, why);
    if (temporary.empty())
        return false;
    if (::rename(temporary.c_str(), recordPath.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

std::set<std::string> FoldersOf(
    const std::vector<ReplacedFile>& entries, const std::string& recordPath)
{
    std::set<std::string> folders;
    for (const ReplacedFile& e : entries)
        folders.insert(FolderOf(e.target));
    if (!recordPath.empty())
        folders.insert(FolderOf(recordPath));
    return folders;
}

bool SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}

std::string SyncFolders(const std::set<std::string>& folders)
{
    for (const std::string& folder : folders)
        if (!SyncFolder(folder))
            return folder;
    return {};
}

ReplaceFailure UndoReplacement(
    const std::vector<ReplacedFile>& entries, const std::string& recordPath)
{
    ReplaceFailure failure;
    auto check = [&](bool done, const std::string& file) {
        if (!done && errno != ENOENT && failure.file.empty())
            failure = { file, CouldNotBeWritten() };
    };
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        if (!e->backup.empty()) {
            // Where the target still is the old file, the rename does nothing.
            check(::rename(e->backup.c_str(), e->target.c_str()) == 0, e->target);
            if (PathExists(e->backup))
                check(::unlink(e->backup.c_str()) == 0, e->backup);
        } else if (!PathExists(e->temporary)) {
            check(::unlink(e->target.c_str()) == 0, e->target);
        }
        if (PathExists(e->temporary))
            check(::unlink(e->temporary.c_str()) == 0, e->temporary);
    }
    if (std::string folder = SyncFolders(FoldersOf(entries, ""));
        !folder.empty() && failure.file.empty())
        failure = { folder, CouldNotBeWritten() };
    if (failure.file.empty() && !recordPath.empty()) {
        check(::unlink(recordPath.c_str()) == 0, recordPath);
        if (failure.file.empty() && !SyncFolder(FolderOf(recordPath)))
            failure = { recordPath, CouldNotBeWritten() };
    }
    ForgetResolvedPaths();
    return failure;
}

ReplaceFailure UndoInterruptedReplacement(const std::string& recordPath)
{
    std::optional<std::string> text;
    try {
        text = ReadExistingFile(recordPath);
    } catch (const Failure& failure) {
        return { recordPath, "could not be read (" + failure.description + ")" };
    }
    if (!text)
        return {};
    std::optional<std::vector<ReplacedFile>> entries = ParseRecord(*text);
    if (!entries)
        return { recordPath, "is no record of a replacement" };
    return UndoReplacement(*entries, recordPath);
}

}
