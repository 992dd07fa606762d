#include "platform/files.h"

#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

std::string ResolvePath(const std::string& path)
{
    if (path.empty())
        return path;
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

// Writes `content` to a new temporary file in `target`'s folder and renames it over `target`.
// `durable` also waits for the disk, for files too costly to lose to a power cut.
static bool WriteThroughTemporary(
    const std::string& target, const std::string& content, mode_t mode, bool durable)
{
    std::string temporary = target + ".tmpXXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content.data(), content.size()) && ::fchmod(fd, mode) == 0
        && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

// The file a replacement writes: the path as found, with the symbolic links at its end followed
// to the file they name, so the links stay and the file they name gets the content. Nothing when
// the links go round in a circle or cannot be read.
static std::optional<std::string> ReplacementTarget(const std::string& path)
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
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        // The owner's write bit counts too: root passes access() on a read-only file.
        if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
            return false;
        mode = info.st_mode & 07777;
    }
    return WriteThroughTemporary(target, content, mode, false);
}

bool AppendLine(const std::string& path, const std::string& line)
{
    if (path.empty())
        return false;
    int fd = ::open(ResolvePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
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
