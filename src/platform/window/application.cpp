#include "platform/window/application.h"

#include <QApplication>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Without XDG_RUNTIME_DIR, Qt warns on standard error and falls back to a folder in /tmp; a host
// that captures standard error records that as an error. A folder of the same kind, private to
// this user, is given to Qt instead: made when missing, used only when it is ours and closed to
// others.
static void ProvideRuntimeFolder()
{
    if (IsSet("XDG_RUNTIME_DIR"))
        return;
    std::string folder = std::string(IsSet("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/runtime-"
        + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat info { };
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return;
    if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0)
        return;
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

int platform::RunApplication(int argc, char** argv, bool headless, const std::function<int()>& body)
{
    std::vector<char*> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    if (headless)
        arguments.insert(
            arguments.begin() + (arguments.empty() ? 0 : 1), { platformOption, offscreen });
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    ProvideRuntimeFolder();
    QApplication application(count, arguments.data());
    return body();
}
