#include "platform/system/files.h"

#include "platform/system/failure.h"
#include "platform/system/file_io.h"
#include "platform/system/text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
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

void ForgetResolvedPaths() { ResolvedPaths().clear(); }

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    return fs::is_regular_file(ResolvePath(path), error);
}

// The failure of a read that found a file it could not read.
[[noreturn]] static void RaiseUnreadable(const std::string& path, int error)
{
    long number = error == EIO              ? kDeviceIo
        : error == EACCES || error == EPERM ? kPermissionDenied
                                            : kPathFileAccess;
    std::string reason = error == EISDIR ? "it is a folder" : DescriptionOf(number);
    Raise(number, kProgramSource, "Cannot read '" + path + "': " + reason);
}

std::optional<std::string> ReadExistingFile(const std::string& path)
{
    std::string found = ResolvePath(path);
    int fd = found.empty() ? -1 : ::open(found.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (found.empty() || errno == ENOENT || errno == ENOTDIR))
        return std::nullopt;
    if (fd < 0)
        RaiseUnreadable(path, errno);
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            int error = got < 0 ? errno : 0;
            ::close(fd);
            if (got < 0)
                RaiseUnreadable(path, error);
            return content;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    try {
        std::optional<std::string> read = ReadExistingFile(path);
        if (read)
            content = std::move(*read);
        return read.has_value();
    } catch (const Failure&) {
        return false;
    }
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {
    }, second {};
    return ::stat(ResolvePath(a).c_str(), &first) == 0
        && ::stat(ResolvePath(b).c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
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

std::optional<long long> LastWriteTime(const std::string& path)
{
    struct stat info { };
    if (path.empty() || ::stat(ResolvePath(path).c_str(), &info) != 0)
        return std::nullopt;
    return Nanoseconds(info.st_mtim);
}

}
