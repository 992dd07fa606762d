// What the file functions of this folder share below their contracts: whole writes, folders and
// times.
#pragma once

#include <cerrno>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// Writes all `size` bytes, going on after interruptions; false on a failed write (errno tells).
inline bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// True when anything is at the path, a link that leads nowhere included.
inline bool PathExists(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0;
}

// The folder that holds `path`: its parent, or "." for a bare name.
inline std::string FolderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// A file time as nanoseconds since the epoch, and back.
inline long long Nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

inline timespec TimeOf(long long nanoseconds)
{
    return { static_cast<time_t>(nanoseconds / 1000000000LL),
        static_cast<long>(nanoseconds % 1000000000LL) };
}

}
