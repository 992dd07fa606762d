#include "support/installation.h"

#include "config/cam_settings.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/start_modes.h"
#include "dialog/window_state.h"
#include "editing/editing_state.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/profile/profile.h"
#include "platform/window/toolkit.h"
#include "startup/command_line.h"

#include <cctype>
#include <fstream>
#include <random>
#include <iterator>

namespace testing_support {

TempInstallation::TempInstallation()
{
    std::random_device seed;
    root = std::filesystem::temp_directory_path() / ("lobix-test-" + std::to_string(seed()));
    for (const char* folder : { "Tools", "parameter", "Lobix" })
        std::filesystem::create_directories(root / folder);
    ResetModules();
    platform::ProcessFacts& facts = platform::Process();
    facts = {};
    facts.programFolder = (root / "Tools").string();
    facts.executableName = "Lobix_Config";
    facts.versionMajor = 1;
    facts.firstEnvironmentEntry = "USER=abc";
    facts.servicePackLogPath = (root / "servicepack.log").string();
    platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
        shown.push_back(request);
        if (answers.empty())
            return request.buttons == platform::Buttons::YesNo ? request.defaultButton
                                                               : platform::kOk;
        platform::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    });
    platform::SetEndHandler([](int status) { throw ProgramEnded { status }; });
}

TempInstallation::~TempInstallation()
{
    platform::SetMessageBoxHandler({});
    platform::SetEndHandler({});
    ResetModules();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string TempInstallation::Path(const std::string& relative) const
{
    return (root / relative).string();
}

void TempInstallation::Write(const std::string& relative, const std::string& content) const
{
    std::filesystem::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << content;
    platform::ForgetResolvedPaths();
}

std::string TempInstallation::Read(const std::string& relative) const
{
    std::ifstream in(root / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempInstallation::Exists(const std::string& relative) const
{
    return std::filesystem::exists(root / relative);
}

std::map<std::string, std::string> TempInstallation::ProjectFiles() const
{
    std::map<std::string, std::string> files;
    std::error_code ignoredError; // a folder that is missing has no files
    for (const char* folder : { "parameter", "Lobix" })
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 root / folder, std::filesystem::directory_options::none, ignoredError))
            if (entry.is_regular_file()) {
                std::string relative = std::filesystem::relative(entry.path(), root).string();
                files[relative] = Read(relative);
            }
    return files;
}

std::string TempInstallation::Entry(
    const std::string& relative, const std::string& section, const std::string& key) const
{
    return platform::GetPrivateProfileString(section, key, "<missing>", 255, Path(relative));
}

void TempInstallation::SetArguments(const std::string& arguments) const
{
    platform::Process().arguments = arguments;
    startup::GetStartModeIntegrated();
}

void ResetModules()
{
    diagnostics::WriteRepeatCount();
    diagnostics::Modes() = {};
    config::Project() = {};
    config::Model() = {};
    dialog::Window() = {};
    editing::State() = {};
    platform::DestroyWindow();
    platform::ForgetResolvedPaths();
}

int EndStatus(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return -1;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

void ReadOnly(const TempInstallation& installation, const std::string& relative)
{
    std::filesystem::permissions(installation.root / relative,
        std::filesystem::perms::owner_write | std::filesystem::perms::group_write
            | std::filesystem::perms::others_write,
        std::filesystem::perm_options::remove);
}

}
