#include "diagnostics/program_location.h"

#include "platform/system/process.h"

std::string diagnostics::InstallationFolder()
{
    std::string folder = platform::Process().programFolder;
    while (!folder.empty() && folder.back() != '/')
        folder.pop_back();
    if (!folder.empty())
        folder.pop_back();
    return folder;
}

std::string diagnostics::ComponentFolder() { return InstallationFolder() + "/" + GetOCXName(); }

// A name shorter than seven characters gives no component name: the error report itself names
// the component, so raising here could only recurse.
std::string diagnostics::GetOCXName()
{
    const std::string& executable = platform::Process().executableName;
    return executable.size() < 7 ? std::string() : executable.substr(0, executable.size() - 7);
}

std::string diagnostics::ProgramVersion()
{
    const platform::ProcessFacts& process = platform::Process();
    return std::to_string(process.versionMajor) + "." + std::to_string(process.versionMinor) + "."
        + std::to_string(process.versionRevision);
}

std::string diagnostics::GetFileNameOnly(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
