// One run at a time: an advisory lock on a folder, held until the process ends.
#pragma once

#include <chrono>
#include <string>

namespace platform {

enum class FolderLock {
    kLocked, // held by this process until it ends
    kHeldElsewhere, // another process still held it when the wait was over
    kUnavailable, // the folder cannot be opened or locked at all (missing, or no locks there)
};

// Locks the folder against other processes that lock it the same way, waiting up to `wait`.
FolderLock LockFolder(const std::string& folder, std::chrono::milliseconds wait);

}
