#include "platform/system/files.h"

#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

static std::string FindInFolder(const std::string& folder, const std::string& name)
{
    std::error_code error;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder.empty() ? "/" : folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (EqualsIgnoringCase(candidate, name))
            matches.push_back(candidate);
    }
    if (matches.empty())
        return {};
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

static std::string ResolveOnDisk(const std::string& path)
{
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    std::string resolved = path.front() == '/' ? "" : ".";
    bool searching = true;
    size_t start = path.front() == '/' ? 1 : 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (!part.empty()) {
            std::string next = resolved + "/" + part;
            if (searching && !fs::exists(next, error)) {
                std::string found = FindInFolder(resolved, part);
                if (found.empty())
                    searching = false;
                else
                    next = resolved + "/" + found;
            }
            resolved = next;
        }
        start = end + 1;
    }
    if (path.front() != '/' && resolved.rfind("./", 0) == 0)
        resolved.erase(0, 2);
    return resolved;
}

// Each composed path is looked up on disk once; creating a file forgets every result, since a
// path that named nothing may now find the new file under another letter case.
static std::map<std::string, std::string>& ResolvedPaths()
{
    static std::map<std::string, std::string> resolved;
    return resolved;
}

std::string ResolvePath(const std::string& path)
{
    if (path.empty())
        return path;
    auto& resolved = ResolvedPaths();
    auto known = resolved.find(path);
    if (known == resolved.end())
        known = resolved.emplace(path, ResolveOnDisk(path)).first;
    return known->second;
}

void ForgetResolvedPaths()
{
    ResolvedPaths().clear();
}

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    return fs::is_regular_file(ResolvePath(path), error);
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    std::ifstream in(ResolvePath(path), std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

static bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// A new temporary file in `target`'s folder holding `content` with `mode`; "" on failure.
// `durable` also waits for the disk, for files too costly to lose to a power cut.
static std::string WriteTemporary(const std::string& target, const std::string& content, mode_t mode, bool durable)
{
    std::string temporary = target + kTemporaryMark + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return {};
    bool ok = WriteAll(fd, content.data(), content.size()) && ::fchmod(fd, mode) == 0
        && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok)
        return temporary;
    ::unlink(temporary.c_str());
    return {};
}

static std::string FolderOf(const std::string& target)
{
    std::string folder = fs::path(target).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Makes a rename in the folder last through a power cut.
static void SyncFolder(const std::string& target)
{
    int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

static bool RenameOver(const std::string& temporary, const std::string& target)
{
    bool created = ::access(target.c_str(), F_OK) != 0;
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (created)
        ForgetResolvedPaths();
    return true;
}

static bool WriteThroughTemporary(
    const std::string& target, const std::string& content, mode_t mode, bool durable)
{
    std::string temporary = WriteTemporary(target, content, mode, durable);
    if (temporary.empty() || !RenameOver(temporary, target))
        return false;
    if (durable)
        SyncFolder(target);
    return true;
}

// The permission bits an existing file keeps (0644 for a new one); false when the target is no
// regular file or is read-only. The owner's write bit counts too: root passes access() on a
// read-only file.
static bool ModeForReplacing(const std::string& target, mode_t& mode)
{
    mode = 0644;
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return true;
    if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
        return false;
    mode = info.st_mode & 07777;
    return true;
}

std::optional<std::string> ReplacementTarget(const std::string& path)
{
    constexpr int kMostLinks = 40;
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

bool ReplaceFileContent(const std::string& path, const std::string& content)
{
    std::optional<std::string> found = path.empty() ? std::nullopt : ReplacementTarget(path);
    if (!found)
        return false;
    const std::string& target = *found;
    mode_t mode = 0644;
    return ModeForReplacing(target, mode) && WriteThroughTemporary(target, content, mode, false);
}

std::string ReplaceFileContents(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::vector<std::pair<std::string, std::string>> staged; // temporary file, target
    auto failed = [&](size_t from, const std::string& path) {
        for (size_t i = from; i < staged.size(); ++i)
            ::unlink(staged[i].first.c_str());
        return path;
    };
    for (const auto& [path, content] : files) {
        std::string target = ReplacementTarget(path).value_or("");
        mode_t mode = 0644;
        std::string temporary;
        if (target.empty() || !ModeForReplacing(target, mode)
            || (temporary = WriteTemporary(target, content, mode, true)).empty())
            return failed(0, path);
        staged.emplace_back(temporary, target);
    }
    for (size_t i = 0; i < staged.size(); ++i)
        if (!RenameOver(staged[i].first, staged[i].second))
            return failed(i + 1, files[i].first);
    for (const auto& [temporary, target] : staged)
        SyncFolder(target);
    return {};
}

bool CanReplaceFile(const std::string& path)
{
    std::string target = path.empty() ? "" : ReplacementTarget(path).value_or("");
    if (target.empty())
        return false;
    std::string folder = FolderOf(target);
    mode_t mode = 0644;
    struct stat info {};
    if (!ModeForReplacing(target, mode) || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
        || (info.st_mode & S_IWUSR) == 0)
        return false;
    std::string temporary = WriteTemporary(target, {}, 0600, false);
    if (temporary.empty())
        return false;
    ::unlink(temporary.c_str());
    return true;
}

bool AppendLine(const std::string& path, const std::string& line)
{
    if (path.empty())
        return false;
    std::string target = ResolvePath(path);
    int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        ForgetResolvedPaths();
    }
    if (fd < 0)
        return false;
    std::string text = line + "\r\n";
    bool ok = WriteAll(fd, text.data(), text.size());
    return (::close(fd) == 0) && ok;
}

bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    std::string content;
    std::optional<std::string> target = to.empty() ? std::nullopt : ReplacementTarget(to);
    if (!target || !ReadWholeFile(from, content))
        return false;
    struct stat info {};
    mode_t mode = ::stat(target->c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
    return WriteThroughTemporary(*target, content, mode, true);
}

void RaiseFileFailure()
{
    Raise(errno == ENOSPC ? kDiskFull : kPathFileAccess);
}

std::optional<long long> LastWriteTime(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(ResolvePath(path).c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
}

bool SetLastWriteTime(const std::string& path, long long nanoseconds)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(nanoseconds / 1000000000LL);
    times[1].tv_nsec = static_cast<long>(nanoseconds % 1000000000LL);
    return !path.empty() && ::utimensat(AT_FDCWD, ResolvePath(path).c_str(), times, 0) == 0;
}

}
