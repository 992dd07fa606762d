// Preloaded into the program to stand for a failing disk. Only calls on files below the folder
// LOBIX_FAULT_PATH count. Each call belongs to a class (read, write, fsync, rename, close,
// unlink, link; "any" counts them all):
//   LOBIX_FAULT_CLASS + LOBIX_FAULT_AT=N   the Nth call of that class fails with LOBIX_FAULT_ERRNO
//                                           (EIO or ENOSPC), or with KILL the process is killed
//                                           by SIGKILL right before it;
//   LOBIX_FAULT_BYTES=B                     once B bytes were written, every write fails: ENOSPC;
//   LOBIX_FAULT_TALLY=file                  the file holds a FaultTally (fault_seam.h) that is
//                                           up to date after every call, even when killed.
#define _GNU_SOURCE
#include "support/fault_seam.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static const char* const kClassNames[kFaultClasses]
    = { "read", "write", "fsync", "rename", "close", "unlink", "link", "any" };

static struct FaultTally* Tally(void)
{
    static struct FaultTally own;
    static struct FaultTally* tally;
    if (tally)
        return tally;
    tally = &own;
    const char* file = getenv("LOBIX_FAULT_TALLY");
    int fd = file ? open(file, O_RDWR | O_CREAT, 0644) : -1;
    if (fd >= 0 && ftruncate(fd, sizeof own) == 0) {
        void* shared = mmap(NULL, sizeof own, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (shared != MAP_FAILED)
            tally = shared;
    }
    if (fd >= 0)
        NEXT(close)(fd);
    return tally;
}

static int Below(const char* path)
{
    const char* folder = getenv("LOBIX_FAULT_PATH");
    size_t length = folder ? strlen(folder) : 0;
    return path && length && strncmp(path, folder, length) == 0
        && (path[length] == '/' || path[length] == 0);
}

static int FdBelow(int fd)
{
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = readlink(link, path, sizeof path - 1);
    if (length < 0)
        return 0;
    path[length] = 0;
    return Below(path);
}

// Counts a call of `class` on a file below the folder; true when it is to fail (errno set).
static int Fails(enum FaultClass class, int counted)
{
    if (!counted)
        return 0;
    struct FaultTally* tally = Tally();
    long long n = ++tally->calls[class];
    long long any = ++tally->calls[kFaultAny];
    const char* chosen = getenv("LOBIX_FAULT_CLASS");
    const char* at = getenv("LOBIX_FAULT_AT");
    if (!chosen || !at)
        return 0;
    long long wanted = atoll(at);
    int hit = (strcmp(chosen, kClassNames[class]) == 0 && n == wanted)
        || (strcmp(chosen, "any") == 0 && any == wanted);
    if (!hit)
        return 0;
    const char* error = getenv("LOBIX_FAULT_ERRNO");
    if (error && strcmp(error, "KILL") == 0)
        raise(SIGKILL);
    errno = error && strcmp(error, "ENOSPC") == 0 ? ENOSPC : EIO;
    return 1;
}

static int WriteFails(int fd, size_t count)
{
    if (!FdBelow(fd))
        return 0;
    if (Fails(kFaultWrite, 1))
        return 1;
    const char* budget = getenv("LOBIX_FAULT_BYTES");
    struct FaultTally* tally = Tally();
    if (budget && tally->bytes + (long long)count > atoll(budget)) {
        errno = ENOSPC;
        return 1;
    }
    tally->bytes += (long long)count;
    return 0;
}

ssize_t read(int fd, void* data, size_t count)
{
    return Fails(kFaultRead, FdBelow(fd)) ? -1 : NEXT(read)(fd, data, count);
}

ssize_t pread(int fd, void* data, size_t count, off_t offset)
{
    return Fails(kFaultRead, FdBelow(fd)) ? -1 : NEXT(pread)(fd, data, count, offset);
}

ssize_t pread64(int fd, void* data, size_t count, off64_t offset)
{
    return Fails(kFaultRead, FdBelow(fd)) ? -1 : NEXT(pread64)(fd, data, count, offset);
}

ssize_t write(int fd, const void* data, size_t count)
{
    return WriteFails(fd, count) ? -1 : NEXT(write)(fd, data, count);
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset)
{
    return WriteFails(fd, count) ? -1 : NEXT(pwrite)(fd, data, count, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t count, off64_t offset)
{
    return WriteFails(fd, count) ? -1 : NEXT(pwrite64)(fd, data, count, offset);
}

ssize_t writev(int fd, const struct iovec* parts, int partCount)
{
    size_t count = 0;
    for (int i = 0; i < partCount; ++i)
        count += parts[i].iov_len;
    return WriteFails(fd, count) ? -1 : NEXT(writev)(fd, parts, partCount);
}

int fsync(int fd) { return Fails(kFaultFsync, FdBelow(fd)) ? -1 : NEXT(fsync)(fd); }

int fdatasync(int fd) { return Fails(kFaultFsync, FdBelow(fd)) ? -1 : NEXT(fdatasync)(fd); }

// A close that fails has closed the descriptor all the same, as the kernel does.
int close(int fd)
{
    int fails = Fails(kFaultClose, FdBelow(fd));
    int result = NEXT(close)(fd);
    if (!fails)
        return result;
    errno = EIO;
    return -1;
}

int rename(const char* from, const char* to)
{
    return Fails(kFaultRename, Below(from) || Below(to)) ? -1 : NEXT(rename)(from, to);
}

int unlink(const char* path) { return Fails(kFaultUnlink, Below(path)) ? -1 : NEXT(unlink)(path); }

int link(const char* from, const char* to)
{
    return Fails(kFaultLink, Below(from) || Below(to)) ? -1 : NEXT(link)(from, to);
}
