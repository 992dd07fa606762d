// Where a call's file content comes from: the disk, or the held copy while writes are held.
#include "platform/profile/profile.h"

#include "platform/profile/ini_text.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"
#include "platform/system/text.h"
#include "platform/system/text_encoding.h"

#include <filesystem>
#include <map>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// A file's text as the INI functions work on it, and how it is stored.
struct IniFile {
    bool exists = false;
    bool utf16 = false;
    std::string text;
};

// A file's copy while writes are held: read once when first touched, then changed in memory.
struct HeldFile {
    IniFile file;
    platform::IniIndex index; // of file.text
    std::optional<platform::Failure> unreadable; // why the file could not be read
    bool made = false; // a held write made the file
    std::optional<bool> writable; // known from the first write on
    bool changed = false;
};

}

// The files touched while writes are held, by their path on disk; none while not held.
static std::optional<std::map<std::string, HeldFile>>& HeldFiles()
{
    static std::optional<std::map<std::string, HeldFile>> files;
    return files;
}

// Reads the file at `target` (as found on disk); raises when it is there but cannot be read, or
// is UTF-16 that does not decode.
static IniFile ReadIniFile(const std::string& target)
{
    std::optional<std::string> bytes = platform::ReadExistingFile(target);
    IniFile file;
    file.exists = bytes.has_value();
    if (!bytes)
        return file;
    file.utf16 = bytes->starts_with(platform::kUtf16Mark);
    if (!file.utf16) {
        file.text = std::move(*bytes);
        return file;
    }
    std::optional<std::string> text = platform::Utf16ToUtf8(bytes->substr(2));
    if (!text)
        platform::Raise(platform::kPathFileAccess, platform::kProgramSource,
            "Cannot read '" + target + "': it is no valid UTF-16 text");
    file.text = std::move(*text);
    return file;
}

// The bytes that store `file`'s text.
static std::string Bytes(const IniFile& file)
{
    return file.utf16 ? platform::kUtf16Mark + platform::Utf8ToUtf16(file.text) : file.text;
}

// A file that a held write made is found under another letter case too, as it will be on disk.
static HeldFile* MadeWhileHeld(const std::string& target)
{
    fs::path wanted(target);
    for (auto& [path, held] : *HeldFiles()) {
        fs::path made(path);
        if (held.made && made.parent_path() == wanted.parent_path()
            && platform::EqualsIgnoringCase(made.filename().string(), wanted.filename().string()))
            return &held;
    }
    return nullptr;
}

static HeldFile& Held(const std::string& target)
{
    auto& files = *HeldFiles();
    auto found = files.find(target);
    if (found != files.end()
        && (found->second.file.exists || found->second.made || found->second.unreadable))
        return found->second;
    if (HeldFile* made = MadeWhileHeld(target))
        return *made;
    if (found != files.end())
        return found->second;
    HeldFile held;
    try {
        held.file = ReadIniFile(target);
        held.index = platform::IndexIni(held.file.text);
    } catch (const platform::Failure& failure) {
        held.unreadable = failure;
    }
    return files.emplace(target, std::move(held)).first->second;
}

// The entry's value as a caller sees it; false when the file, section or key is missing.
static bool ReadValue(
    const std::string& section, const std::string& key, const std::string& file, std::string& value)
{
    if (file.empty())
        return false;
    std::string target = platform::ResolvePath(file);
    std::optional<std::string> found;
    if (HeldFiles()) {
        const HeldFile& held = Held(target);
        if (held.unreadable)
            throw *held.unreadable;
        found = platform::IniValue(held.file.text, held.index, section, key);
    } else {
        found = platform::IniValue(ReadIniFile(target).text, section, key);
    }
    if (!found)
        return false;
    value = std::move(*found);
    return true;
}

std::string platform::GetPrivateProfileString(const std::string& section, const std::string& key,
    const std::string& defaultValue, int bufferSize, const std::string& file)
{
    if (bufferSize <= 0)
        return {};
    std::string value;
    if (!ReadValue(section, key, file, value)) {
        value = defaultValue;
        value.erase(value.find_last_not_of(' ') + 1);
    }
    if (value.size() >= static_cast<size_t>(bufferSize))
        value.resize(static_cast<size_t>(bufferSize) - 1);
    return value;
}

std::optional<std::string> platform::GetPrivateProfileEntry(
    const std::string& section, const std::string& key, const std::string& file)
{
    std::string value;
    if (!ReadValue(section, key, file, value))
        return std::nullopt;
    return value;
}

std::uint32_t platform::GetPrivateProfileInt(
    const std::string& section, const std::string& key, int defaultValue, const std::string& file)
{
    std::string value;
    if (!ReadValue(section, key, file, value) || value.empty())
        return static_cast<std::uint32_t>(defaultValue);
    return platform::ParseIniDecimal(value);
}

bool platform::WritePrivateProfileString(const std::string& section, const std::string& key,
    const std::string& value, const std::string& file)
{
    if (file.empty())
        return false;
    std::string target = platform::ResolvePath(file);
    if (HeldFiles()) {
        HeldFile& held = Held(target);
        if (!held.writable)
            held.writable = !held.unreadable && WhyNotReplaceable(target, false).empty();
        if (!*held.writable)
            return false;
        platform::SpliceIniValue(held.file.text, held.index, section, key, value);
        held.made = held.made || !held.file.exists;
        held.changed = true;
        return true;
    }
    IniFile read;
    try {
        read = ReadIniFile(target);
    } catch (const Failure&) {
        return false;
    }
    platform::SpliceIniValue(read.text, section, key, value);
    return ReplaceFiles({ { target, Bytes(read) } }, "").file.empty();
}

platform::HeldProfileWrites::HeldProfileWrites()
    : joined_(HeldFiles().has_value())
{
    if (!joined_)
        HeldFiles().emplace();
}

platform::HeldProfileWrites::~HeldProfileWrites()
{
    if (!joined_)
        HeldFiles().reset();
}

std::vector<platform::FileUpdate> platform::HeldProfileWrites::Changes()
{
    std::vector<FileUpdate> changed;
    if (joined_ || !HeldFiles())
        return changed;
    for (auto& [target, held] : *HeldFiles())
        if (held.changed)
            changed.push_back({ target, Bytes(held.file) });
    HeldFiles().reset();
    return changed;
}

platform::ReplaceFailure platform::HeldProfileWrites::Store()
{
    return ReplaceFiles(Changes(), "");
}
