// Importing a Jet file once: the new file written beside it, the original kept, then the swap.
#include "platform/database/jet_import.h"

#include "platform/database/jet_tables.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"

#include <fcntl.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool IsJetFile(const std::string& path)
{
    constexpr size_t kOffset = 4;
    constexpr std::string_view kJet = "Standard Jet DB", kAce = "Standard ACE DB";
    char header[kOffset + kJet.size()];
    std::ifstream file(path, std::ios::binary);
    if (!file.read(header, sizeof header))
        return false;
    std::string_view signature(header + kOffset, kJet.size());
    return signature == kJet || signature == kAce;
}

// A temporary file beside the Jet file, removed unless it was renamed into place.
struct TemporaryFile {
    std::string path;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (!renamed)
            unlink(path.c_str());
    }
};

static bool SameContent(const std::string& a, const std::string& b)
{
    std::string first, second;
    return ReadWholeFile(a, first) && ReadWholeFile(b, second) && first == second;
}

static bool Synced(const std::string& path, int flags)
{
    int fd = open(path.c_str(), flags);
    bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0)
        close(fd);
    return synced;
}

// Keeps the original beside `path` under the first free name, or finds it kept there before.
// Returns the name and whether this call made it.
static std::pair<std::string, bool> KeepOriginal(const std::string& path, long long written)
{
    for (int n = 1;; ++n) {
        std::string kept = path + (n == 1 ? "" : "." + std::to_string(n)) + ".jet";
        if (access(kept.c_str(), F_OK) != 0) {
            if (link(path.c_str(), kept.c_str()) != 0
                && !(CopyFileReplacing(path, kept) && SetLastWriteTime(kept, written)))
                JetUnreadable("the original cannot be kept as '" + kept + "'");
            return { kept, true };
        }
        if (SameContent(path, kept))
            return { kept, false };
    }
}

static void Import(const std::string& path)
{
    struct stat original { };
    if (stat(path.c_str(), &original) != 0)
        JetUnreadable("the file cannot be read");
    long long written = original.st_mtim.tv_sec * 1000000000LL + original.st_mtim.tv_nsec;
    std::string pattern = path + ".import-XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        JetUnreadable("no new file can be written beside it");
    close(fd);
    TemporaryFile temporary { pattern };
    CopyJetTables(path, original.st_size, temporary.path);
    if (!Synced(temporary.path, O_RDONLY)
        || chmod(temporary.path.c_str(), original.st_mode & 07777) != 0
        || !SetLastWriteTime(temporary.path, written))
        JetUnreadable("the new file cannot be completed");

    auto [kept, made] = KeepOriginal(path, written);
    if (rename(temporary.path.c_str(), path.c_str()) != 0) {
        if (made)
            unlink(kept.c_str());
        JetUnreadable("the new file cannot take its place");
    }
    temporary.renamed = true;
    std::string folder = path.substr(0, path.find_last_of('/') + 1);
    Synced(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
}

void ImportJetDatabase(const std::string& path)
{
    try {
        Import(path);
    } catch (const Failure& failure) {
        Raise(3343, kDatabaseSource,
            "Cannot import the Jet database '" + path
                + "', which is left as it was: " + failure.description + ".");
    }
}

}
