// Preloaded into the program to stand for a full disk without root: once LOBIX_FULL_DISK_BYTES
// (unset: no limit)
// bytes have gone to files below the folder LOBIX_FULL_DISK_FOLDER, every further write there
// fails with ENOSPC. LOBIX_FULL_DISK_TALLY, when set, names a file outside the folder that
// always holds the bytes written so far.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static long long written;

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static void Tally(void)
{
    const char* tally = getenv("LOBIX_FULL_DISK_TALLY");
    int fd = tally ? open(tally, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    if (fd < 0)
        return;
    char text[32];
    NEXT(write)(fd, text, (size_t)snprintf(text, sizeof text, "%lld", written));
    close(fd);
}

// True when the write of `count` bytes to `fd` finds the disk full; counts it otherwise.
static int Full(int fd, size_t count)
{
    const char* folder = getenv("LOBIX_FULL_DISK_FOLDER");
    const char* budget = getenv("LOBIX_FULL_DISK_BYTES");
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = folder ? readlink(link, path, sizeof path - 1) : -1;
    if (length < 0)
        return 0;
    path[length] = 0;
    size_t prefix = strlen(folder);
    if (strncmp(path, folder, prefix) != 0 || path[prefix] != '/')
        return 0;
    if (budget && written + (long long)count > atoll(budget)) {
        errno = ENOSPC;
        return 1;
    }
    written += (long long)count;
    Tally();
    return 0;
}

ssize_t write(int fd, const void* data, size_t count)
{
    return Full(fd, count) ? -1 : NEXT(write)(fd, data, count);
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset)
{
    return Full(fd, count) ? -1 : NEXT(pwrite)(fd, data, count, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t count, off64_t offset)
{
    return Full(fd, count) ? -1 : NEXT(pwrite64)(fd, data, count, offset);
}

ssize_t writev(int fd, const struct iovec* parts, int partCount)
{
    size_t count = 0;
    for (int i = 0; i < partCount; ++i)
        count += parts[i].iov_len;
    return Full(fd, count) ? -1 : NEXT(writev)(fd, parts, partCount);
}
