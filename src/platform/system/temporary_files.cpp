#include "platform/system/temporary_files.h"

#include "platform/system/file_io.h"
#include "platform/system/file_replacement.h"
#include "platform/system/files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// The name mkstemp gives a temporary file of `target`: its name, the mark, six letters or digits.
static bool IsTemporaryOf(const std::string& name, const std::string& target)
{
    std::string prefix = target + platform::kTemporaryMark;
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0
        && std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
            [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::vector<std::string> platform::RemoveTemporaryFilesBeside(const std::vector<std::string>& paths)
{
    std::vector<std::string> removed;
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        fs::path file = fs::weakly_canonical(ResolvePath(path));
        std::string folder = FolderOf(file.string());
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            struct stat info { };
            std::string candidate = it->path().string();
            if (IsTemporaryOf(it->path().filename().string(), file.filename().string())
                && ::lstat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)
                && ::unlink(candidate.c_str()) == 0)
                removed.push_back(candidate);
        }
    }
    return removed;
}
