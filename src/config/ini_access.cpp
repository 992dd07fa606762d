#include "config/ini_access.h"

#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "platform/profile/profile.h"
#include "platform/system/files.h"
#include "platform/system/text.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int kBufferSize = 255;

std::vector<std::string>& NotRead() { return config::IniFilesMet().FilesNotRead; }

// Runs `read` on `file`. A file that could not be read before gives `missing`; one that cannot
// be read now is remembered and its failure raised for the caller's report.
template <class Read> auto Guarded(const std::string& file, Read read, decltype(read()) missing)
{
    if (config::WasNotRead(file))
        return missing;
    try {
        return read();
    } catch (const platform::Failure&) {
        NotRead().push_back(platform::ResolvePath(file));
        throw;
    }
}
const std::string kBlankDefault(kBufferSize, ' ');

// The entry's value for LoadIniString and LoadIniBoolean, read under Guarded.
std::string ReadString(
    const std::string& section, const std::string& entry, const std::string& file)
{
    return Guarded(
        file,
        [&] {
            return platform::GetPrivateProfileString(
                section, entry, kBlankDefault, kBufferSize, file);
        },
        std::string());
}

void ShowNotFound(const std::string& section, const std::string& entry, const std::string& file)
{
    diagnostics::ShowFault(
        "File '" + file + "' or Section [" + section + "] or Entry '" + entry + "' not found");
}

}

std::string config::LoadIniString(const std::string& section, const std::string& entry,
    const std::string& file, bool reportMissing)
{
    diagnostics::ErrorScope scope("LoadIniString");
    std::string value;
    scope.Run([&] { value = ReadString(section, entry, file); });
    scope.Run([&] {
        if (value.empty() && reportMissing)
            ShowNotFound(section, entry, file);
    });
    return value;
}

short config::LoadIniInteger(const std::string& section, const std::string& entry,
    const std::string& file, bool reportMissing)
{
    diagnostics::ErrorScope scope("LoadIniInteger");
    // A file that cannot be read gives what a missing entry gives; an overflow leaves 0.
    std::int32_t raw = -1;
    short value = 0;
    scope.Run([&] {
        raw = static_cast<std::int32_t>(Guarded(
            file, [&] { return platform::GetPrivateProfileInt(section, entry, -1, file); },
            0xFFFFFFFFu));
    });
    scope.Run([&] { value = platform::ToInteger(raw); });
    scope.Run([&] {
        if (value == -1 && reportMissing)
            ShowNotFound(section, entry, file);
    });
    return value;
}

bool config::LoadIniBoolean(const std::string& section, const std::string& entry,
    const std::string& file, bool reportMissing)
{
    diagnostics::ErrorScope scope("LoadIniBoolean");
    std::string text;
    scope.Run([&] { text = platform::UpperCase(ReadString(section, entry, file)); });
    scope.Run([&] {
        if (text != "TRUE" && text != "FALSE" && reportMissing)
            ShowNotFound(section, entry, file);
    });
    return text == "TRUE";
}

std::optional<std::string> config::LoadIniEntry(
    const std::string& section, const std::string& entry, const std::string& file)
{
    return Guarded(
        file, [&] { return platform::GetPrivateProfileEntry(section, entry, file); },
        std::optional<std::string>());
}

config::IniFiles& config::IniFilesMet()
{
    static IniFiles files;
    return files;
}

// Whether `files` holds the file, as found on disk.
static bool Holds(const std::vector<std::string>& files, const std::string& file)
{
    return std::find(files.begin(), files.end(), platform::ResolvePath(file)) != files.end();
}

bool config::WasNotWritten(const std::string& file)
{
    return Holds(IniFilesMet().FilesNotWritten, file);
}

bool config::WasNotRead(const std::string& file) { return Holds(NotRead(), file); }

// The text of a number as the original writes it, without the zero before the point.
static std::string NumberText(double value, int digits)
{
    std::string text = platform::NumberText(value, digits);
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    else if (text.rfind("-0.", 0) == 0)
        text.erase(1, 1);
    return text;
}

static std::optional<std::string> SavedText(const config::IniValue& value)
{
    struct {
        std::optional<std::string> operator()(std::monostate) { return std::nullopt; }
        std::optional<std::string> operator()(short v) { return std::to_string(v); }
        std::optional<std::string> operator()(int v) { return std::to_string(v); }
        std::optional<std::string> operator()(unsigned char v) { return std::to_string(v); }
        std::optional<std::string> operator()(float v) { return NumberText(v, 7); }
        std::optional<std::string> operator()(double v) { return NumberText(v, 15); }
        std::optional<std::string> operator()(const std::string& v) { return v; }
        std::optional<std::string> operator()(bool v) { return std::string(v ? "true" : "false"); }
    } textOf;
    return std::visit(textOf, value);
}

int config::SaveIni(const IniValue& value, const std::string& section, const std::string& entry,
    const std::string& file)
{
    diagnostics::ErrorScope scope("SaveIni");
    int result = 0;
    scope.Run([&] {
        std::optional<std::string> text = SavedText(value);
        if (!text) {
            diagnostics::ShowFault("Ini Save:  wrong data type");
            return;
        }
        result = platform::WritePrivateProfileString(section, entry, *text, file) ? 1 : 0;
        if (result == 0 && !WasNotWritten(file))
            IniFilesMet().FilesNotWritten.push_back(platform::ResolvePath(file));
    });
    return result;
}
