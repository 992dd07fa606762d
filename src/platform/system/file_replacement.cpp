// The steps of a replacement: each new file staged beside its file, the old file kept under a
// second name, the record of the step, the renames, and the way back.
#include "platform/system/file_replacement.h"

#include "platform/system/failure.h"
#include "platform/system/file_io.h"
#include "platform/system/files.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {

    // One file of a replacement: its new content waits in `temporary`; `backup` is a second name
    // of the file it replaces ("" when there is none), which `keep` leaves behind.
    struct Entry {
        std::string target {}, temporary {}, backup {};
        bool keep = false;
    };

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

static mode_t NewFileMode()
{
    static const mode_t mode = [] {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

static std::string FolderOf(const std::string& target)
{
    std::string folder = fs::path(target).parent_path().string();
    return folder.empty() ? "." : folder;
}

static bool Exists(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0;
}

// The phrase for the file operation that has just failed.
static std::string Failed()
{
    return std::string("could not be written (") + std::strerror(errno) + ")";
}

// The file a replacement writes: the path as found, with the symbolic links at its end followed
// to the file they name. Nothing when the links go round in a circle or cannot be read.
static std::optional<std::string> ReplacementTarget(const std::string& path)
{
    constexpr int kMostLinks = 40;
    if (path.empty())
        return std::nullopt;
    fs::path target = ResolvePath(path);
    std::error_code error;
    for (int links = 0; fs::is_symlink(target, error); ++links) {
        fs::path named = fs::read_symlink(target, error);
        if (error || links == kMostLinks)
            return std::nullopt;
        target = named.is_absolute() ? named : target.parent_path() / named;
    }
    return target.string();
}

// Why the file at `target` (`old` when it exists) cannot be replaced by rename; "" when it can.
// The owner's write bit stands for the Windows read-only attribute: root passes access() on a
// read-only file.
static std::string Refusal(const std::string& target, const struct stat* old)
{
    struct stat folder { };
    std::string folderPath = FolderOf(target);
    if (::stat(folderPath.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)
        || (folder.st_mode & S_IWUSR) == 0 || ::access(folderPath.c_str(), W_OK) != 0)
        return "cannot be written";
    if (!old)
        return {};
    if (!S_ISREG(old->st_mode))
        return "is not a file";
    if ((old->st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
        return "cannot be written";
    // A rename would leave the other names with the old content.
    if (old->st_nlink > 1)
        return "has other hard links";
    return {};
}

// Gives the new file at `fd` the extended attributes of `target` (ACLs among them).
static bool CopyAttributes(const std::string& target, int fd)
{
    ssize_t size = ::listxattr(target.c_str(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;
    std::string names(static_cast<size_t>(size), '\0');
    size = ::listxattr(target.c_str(), names.data(), names.size());
    for (size_t at = 0; size > 0 && at < static_cast<size_t>(size); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        ssize_t length = ::getxattr(target.c_str(), name, nullptr, 0);
        std::string value(static_cast<size_t>(std::max<ssize_t>(length, 0)), '\0');
        if (length < 0 || ::getxattr(target.c_str(), name, value.data(), value.size()) != length
            || ::fsetxattr(fd, name, value.data(), value.size(), 0) != 0)
            return false;
    }
    return size >= 0;
}

// A new file beside `target` with the update's content and what the file it replaces is (`old`,
// when there is one), synced to disk; "" with `why` set when it cannot be made.
static std::string Stage(
    const std::string& target, const struct stat* old, const FileUpdate& update, std::string& why)
{
    std::string temporary = target + kTemporaryMark + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        why = "cannot be written";
        return {};
    }
    struct stat made { };
    bool ok = WriteAll(fd, update.content.data(), update.content.size()) && ::fstat(fd, &made) == 0;
    why = ok ? "" : Failed();
    if (ok && old && (made.st_uid != old->st_uid || made.st_gid != old->st_gid)
        && ::fchown(fd, old->st_uid, old->st_gid) != 0)
        why = "belongs to another user";
    if (why.empty() && ::fchmod(fd, old ? old->st_mode & 07777 : NewFileMode()) != 0)
        why = Failed();
    if (why.empty() && old && !CopyAttributes(target, fd))
        why = "has extended attributes that cannot be kept";
    if (why.empty() && update.lastWriteTime) {
        timespec times[2] = { { 0, UTIME_OMIT },
            { static_cast<time_t>(*update.lastWriteTime / 1000000000LL),
                static_cast<long>(*update.lastWriteTime % 1000000000LL) } };
        if (::futimens(fd, times) != 0)
            why = Failed();
    }
    if (why.empty() && ::fsync(fd) != 0)
        why = Failed();
    if (::close(fd) != 0 && why.empty())
        why = Failed();
    if (why.empty())
        return temporary;
    ::unlink(temporary.c_str());
    return {};
}

std::string WhyNotReplaceable(const std::string& path, bool trial)
{
    std::optional<std::string> target = ReplacementTarget(path);
    if (!target)
        return "cannot be written";
    struct stat info { };
    bool exists = ::stat(target->c_str(), &info) == 0;
    std::string why = Refusal(*target, exists ? &info : nullptr);
    if (!why.empty() || !trial)
        return why;
    std::string made = Stage(*target, exists ? &info : nullptr, {}, why);
    if (!made.empty())
        ::unlink(made.c_str());
    return why;
}

// A free name beside `target` for a second name of the file: its name, the mark, six letters.
static std::string SecondName(const std::string& target)
{
    static std::mt19937 random { std::random_device {}() };
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (;;) {
        std::string name = target + kTemporaryMark;
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        if (!Exists(name))
            return name;
    }
}

static bool SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}

// Syncs each folder once; the first that fails, or "".
static std::string SyncFolders(const std::set<std::string>& folders)
{
    for (const std::string& folder : folders)
        if (!SyncFolder(folder))
            return folder;
    return {};
}

// The record: a mark, then for each entry its target, temporary file, backup and keep flag,
// every field ended by a NUL byte.
static constexpr const char kRecordMark[] = "Lobix_Config replacement 1";

static std::string RecordText(const std::vector<Entry>& entries)
{
    std::string text = std::string(kRecordMark) + '\0';
    for (const Entry& e : entries)
        for (const std::string& field :
            { e.target, e.temporary, e.backup, std::string(e.keep ? "1" : "0") })
            text += field + '\0';
    return text;
}

static std::optional<std::vector<Entry>> ParseRecord(const std::string& text)
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
    std::vector<Entry> entries;
    for (size_t i = 1; i < fields.size(); i += 4)
        entries.push_back({ fields[i], fields[i + 1], fields[i + 2], fields[i + 3] == "1" });
    return entries;
}

// Writes the record through a temporary file of its own; the caller syncs its folder.
static bool WriteRecord(const std::string& recordPath, const std::vector<Entry>& entries)
{
    std::string why;
    std::string temporary = Stage(recordPath, nullptr, { recordPath, RecordText(entries) }, why);
    if (temporary.empty())
        return false;
    if (::rename(temporary.c_str(), recordPath.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

static std::set<std::string> FoldersOf(
    const std::vector<Entry>& entries, const std::string& recordPath)
{
    std::set<std::string> folders;
    for (const Entry& e : entries)
        folders.insert(FolderOf(e.target));
    if (!recordPath.empty())
        folders.insert(FolderOf(recordPath));
    return folders;
}

// Puts every entry's old file back (a new file without one is removed) and removes the
// temporary files; then the record. Each step can be repeated, so a run that stops in the middle
// of it is finished by the next one. The first step that fails is returned.
static ReplaceFailure Undo(const std::vector<Entry>& entries, const std::string& recordPath)
{
    ReplaceFailure failure;
    auto check = [&](bool done, const std::string& file) {
        if (!done && errno != ENOENT && failure.file.empty())
            failure = { file, Failed() };
    };
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        if (!e->backup.empty()) {
            // Where the target still is the old file, the rename does nothing.
            check(::rename(e->backup.c_str(), e->target.c_str()) == 0, e->target);
            if (Exists(e->backup))
                check(::unlink(e->backup.c_str()) == 0, e->backup);
        } else if (!Exists(e->temporary)) {
            check(::unlink(e->target.c_str()) == 0, e->target);
        }
        if (Exists(e->temporary))
            check(::unlink(e->temporary.c_str()) == 0, e->temporary);
    }
    if (std::string folder = SyncFolders(FoldersOf(entries, ""));
        !folder.empty() && failure.file.empty())
        failure = { folder, Failed() };
    if (failure.file.empty() && !recordPath.empty()) {
        check(::unlink(recordPath.c_str()) == 0, recordPath);
        if (failure.file.empty() && !SyncFolder(FolderOf(recordPath)))
            failure = { recordPath, Failed() };
    }
    ForgetResolvedPaths();
    return failure;
}

// Stages every update; the first file that cannot be staged stops it, with nothing left behind.
static ReplaceFailure StageAll(const std::vector<FileUpdate>& updates, std::vector<Entry>& entries)
{
    for (const FileUpdate& update : updates) {
        std::optional<std::string> target = ReplacementTarget(update.path);
        struct stat info { };
        bool exists = target && ::stat(target->c_str(), &info) == 0;
        std::string why
            = !target ? "cannot be written" : Refusal(*target, exists ? &info : nullptr);
        if (why.empty() && std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
                return e.target == *target;
            }))
            why = "is named twice";
        Entry entry { target.value_or("") };
        if (why.empty())
            entry.temporary = Stage(*target, exists ? &info : nullptr, update, why);
        if (why.empty() && exists) {
            entry.keep = !update.keepOriginalAs.empty();
            entry.backup = entry.keep ? update.keepOriginalAs : SecondName(*target);
            if (::link(target->c_str(), entry.backup.c_str()) != 0) {
                why = Failed();
                ::unlink(entry.temporary.c_str());
            }
        }
        if (!why.empty()) {
            Undo(entries, "");
            return { update.path, why };
        }
        entries.push_back(entry);
    }
    return {};
}

ReplaceFailure ReplaceFiles(const std::vector<FileUpdate>& updates, const std::string& recordPath)
{
    std::vector<Entry> entries;
    if (ReplaceFailure failure = StageAll(updates, entries); !failure.file.empty())
        return failure;
    const std::string record = entries.size() > 1 ? recordPath : "";
    if (!record.empty() && !WriteRecord(record, entries)) {
        ReplaceFailure failure { record, Failed() };
        Undo(entries, "");
        return failure;
    }
    const std::set<std::string> folders = FoldersOf(entries, record);
    if (std::string folder = SyncFolders(folders); !folder.empty()) {
        ReplaceFailure failure { folder, Failed() };
        Undo(entries, record);
        return failure;
    }
    ReplaceFailure failure;
    {
        HeldSignals held;
        for (const Entry& e : entries)
            if (failure.file.empty() && ::rename(e.temporary.c_str(), e.target.c_str()) != 0)
                failure = { e.target, Failed() };
        if (std::string folder = failure.file.empty() ? SyncFolders(folders) : ""; !folder.empty())
            failure = { folder, Failed() };
        if (failure.file.empty() && !record.empty()
            && (::unlink(record.c_str()) != 0 || !SyncFolder(FolderOf(record))))
            failure = { record, Failed() };
        if (!failure.file.empty())
            Undo(entries, record);
    }
    if (!failure.file.empty())
        return failure;
    // A second name left behind by a failure here is swept at the next start.
    for (const Entry& e : entries)
        if (!e.backup.empty() && !e.keep)
            ::unlink(e.backup.c_str());
    ForgetResolvedPaths();
    return {};
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
    std::optional<std::vector<Entry>> entries = ParseRecord(*text);
    if (!entries)
        return { recordPath, "is no record of a replacement" };
    return Undo(*entries, recordPath);
}

}
