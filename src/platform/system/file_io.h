// What the file functions of this folder share below their contracts: whole writes and times.
#pragma once

#include <cerrno>
#include <cstddef>
#include <ctime>
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

// A file time as nanoseconds since the epoch.
inline long long Nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

}
