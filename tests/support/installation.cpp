#include "support/installation.h"

#include "config/cam_settings.h"
#include "config/ini_access.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/start_modes.h"
#include "dialog/window_state.h"
#include "editing/editing_state.h"
#include "platform/profile/profile.h"
#include "platform/system/exit.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/toolkit.h"
#include "presetdb/preset_state.h"
#include "startup/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace testing_support {

struct ProgramEnded {
    int status;
};

TempInstallation::TempInstallation()
{
    const char* shared = std::getenv(kSharedInstallation);
    root = shared
        ? fs::path(shared)
        : fs::temp_directory_path() / ("lobix-test-" + std::to_string(std::random_device()()));
    for (const char* folder : { "Tools", "parameter", "Lobix" })
        fs::create_directories(root / folder);
    ResetModules();
    platform::Process() = { .arguments = "",
        .programFolder = Path("Tools"),
        .executableName = "Lobix_Config",
        .versionMajor = 1,
        .firstEnvironmentEntry = "USER=abc",
        .servicePackLogPath = Path("servicepack.log") };
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
    ResetModules();
    platform::SetMessageBoxHandler({});
    platform::SetEndHandler({});
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void TempInstallation::Write(const std::string& relative, const std::string& content) const
{
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << content;
    platform::ForgetResolvedPaths();
}

std::string TempInstallation::Read(const std::string& relative) const
{
    if (!fs::is_regular_file(root / relative))
        return {};
    std::ifstream in(root / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempInstallation::Exists(const std::string& relative) const
{
    return fs::exists(root / relative);
}

std::map<std::string, std::string> TempInstallation::ProjectFiles() const
{
    std::map<std::string, std::string> files;
    std::error_code missing; // a folder that is missing has no files
    for (const char* folder : { "parameter", "Lobix" })
        for (const auto& entry : fs::recursive_directory_iterator(root / folder, missing))
            if (std::string relative = fs::relative(entry.path(), root); entry.is_regular_file())
                files[relative] = Read(relative);
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
    diagnostics::Modes() = {};
    startup::DecideStartMode();
}

void ResetModules()
{
    diagnostics::Reports() = {};
    diagnostics::Modes() = {};
    config::Project() = {};
    config::IniFilesMet() = {};
    config::Model() = {};
    presetdb::Presets() = {}; // the component database, its compiled query and file locks too
    dialog::Window() = {};
    editing::State() = {};
    platform::DestroyWindow(); // controls, window events, mouse pointer
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

std::string ErrorLine(const std::string& procedure, long number, const std::string& description,
    const std::string& source)
{
    return "Fehler in Lobix / " + source + " / " + procedure + " (Nr. " + std::to_string(number)
        + ") :" + description;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string Upper(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

void ReadOnly(const TempInstallation& installation, const std::string& relative)
{
    fs::permissions(installation.root / relative,
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
        fs::perm_options::remove);
}

}
