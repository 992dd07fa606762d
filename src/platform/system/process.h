// Facts about the running process: how it was started, where it lies, its version.
#pragma once

#include <string>

namespace platform {

struct ProcessFacts {
    std::string arguments; // the arguments joined with single blanks
    std::string programFolder; // folder of the executable, no trailing "/" but for "/"
    std::string executableName; // file name of the executable without extension
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    std::string firstEnvironmentEntry; // environ[0], "" when the environment is empty
    std::string servicePackLogPath; // TARVEL_SERVICEPACK_LOG or /var/log/TarvelServicePack.log
};

// The facts of this run; tests may change them to stand for another installation.
ProcessFacts& Process();

// Fills Process() from the real executable path, argv, the environment and the build.
void LoadProcessFacts(int argc, char** argv);

}
