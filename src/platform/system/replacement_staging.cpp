// New content staged beside the file it replaces, with the owner, mode and extended attributes
// of that file. A file that cannot be staged is refused with words that follow its name; nothing
// of a refused staging stays on disk.
#include "platform/system/replacement_staging.h"

#include "platform/system/file_io.h"
#include "platform/system/files.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

static mode_t NewFileMode()
{
    static const mode_t mode = [] {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

std::string CouldNotBeWritten()
{
    return std::string("could not be written (") + std::strerror(errno) + ")";
}

std::optional<std::string> ReplacementTarget(const std::string& path)
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

// The owner's write bit stands for the Windows read-only attribute: root passes access() on a
// read-only file.
std::string ReplacementRefusal(const std::string& target, const struct stat* old)
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

std::string StageReplacement(
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
    why = ok ? "" : CouldNotBeWritten();
    if (ok && old && (made.st_uid != old->st_uid || made.st_gid != old->st_gid)
        && ::fchown(fd, old->st_uid, old->st_gid) != 0)
        why = "belongs to another user";
    if (why.empty() && ::fchmod(fd, old ? old->st_mode & 07777 : NewFileMode()) != 0)
        why = CouldNotBeWritten();
    if (why.empty() && old && !CopyAttributes(target, fd))
        why = "has extended attributes that cannot be kept";
    if (why.empty() && update.lastWriteTime) {
        timespec times[2] = { { 0, UTIME_OMIT }, TimeOf(*update.lastWriteTime) };
        if (::futimens(fd, times) != 0)
            why = CouldNotBeWritten();
    }
    if (why.empty() && ::fsync(fd) != 0)
        why = CouldNotBeWritten();
    if (::close(fd) != 0 && why.empty())
        why = CouldNotBeWritten();
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
    std::string why = ReplacementRefusal(*target, exists ? &info : nullptr);
    if (!why.empty() || !trial)
        return why;
    std::string made = StageReplacement(*target, exists ? &info : nullptr, {}, why);
    if (!made.empty())
        ::unlink(made.c_str());
    return why;
}

std::string SecondName(const std::string& target)
{
    static std::mt19937 random { std::random_device {}() };
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (;;) {
        std::string name = target + kTemporaryMark;
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        if (!PathExists(name))
            return name;
    }
}

}
