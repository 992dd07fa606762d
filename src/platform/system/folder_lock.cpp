#include "platform/system/folder_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

platform::FolderLock platform::LockFolder(const std::string& folder, std::chrono::milliseconds wait)
{
    int fd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FolderLock::kUnavailable;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // The descriptor stays open, and so the lock held, until the process ends.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return FolderLock::kLocked;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return FolderLock::kUnavailable;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return FolderLock::kHeldElsewhere;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
