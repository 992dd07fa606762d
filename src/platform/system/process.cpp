#include "platform/system/process.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

extern char** environ;

namespace platform {

ProcessFacts& Process()
{
    static ProcessFacts facts;
    return facts;
}

static std::string ExecutablePath(const char* argv0)
{
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        path = std::filesystem::absolute(argv0, error);
    return path.string();
}

void LoadProcessFacts(int argc, char** argv)
{
    ProcessFacts& facts = Process();
    facts.arguments.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            facts.arguments += ' ';
        facts.arguments += argv[i];
    }
    std::filesystem::path exe = ExecutablePath(argc > 0 ? argv[0] : "");
    std::string folder = exe.parent_path().string();
    facts.programFolder = folder.empty() ? "/" : folder;
    facts.executableName = exe.stem().string();
    facts.versionMajor = LOBIX_VERSION_MAJOR;
    facts.versionMinor = LOBIX_VERSION_MINOR;
    facts.versionRevision = LOBIX_VERSION_PATCH;
    facts.firstEnvironmentEntry = (environ && environ[0]) ? environ[0] : "";
    const char* log = std::getenv("TARVEL_SERVICEPACK_LOG");
    facts.servicePackLogPath = (log && *log) ? log : "/var/log/TarvelServicePack.log";
}

}
