// Where a call's file content comes from: the disk, or the held copy while writes are held.
#include "platform/profile/profile.h"
#include "platform/profile/ini_text.h"
#include "platform/system/files.h"
#include "platform/system/text.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A file's copy while writes are held: read once when first touched, then changed in memory.
struct HeldFile {
    bool exists = false;
    bool present = false; // `content` holds the file: read from disk or made by a write
    std::string content;
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

// A file that a held write made is found under another letter case too, as it will be on disk.
static HeldFile* MadeWhileHeld(const std::string& target)
{
    fs::path wanted(target);
    for (auto& [path, file] : *HeldFiles()) {
        fs::path made(path);
        if (!file.exists && file.present && made.parent_path() == wanted.parent_path()
            && platform::EqualsIgnoringCase(made.filename().string(), wanted.filename().string()))
            return &file;
    }
    return nullptr;
}

static HeldFile& Held(const std::string& target)
{
    auto& files = *HeldFiles();
    auto found = files.find(target);
    if (found != files.end() && (found->second.exists || found->second.present))
        return found->second;
    if (HeldFile* made = MadeWhileHeld(target))
        return *made;
    if (found == files.end()) {
        HeldFile file;
        std::error_code error;
        file.exists = fs::exists(target, error);
        file.present = file.exists && platform::ReadWholeFile(target, file.content);
        found = files.emplace(target, std::move(file)).first;
    }
    return found->second;
}

// The entry's value as a caller sees it; false when the file, section or key is missing.
static bool ReadValue(
    const std::string& section, const std::string& key, const std::string& file, std::string& value)
{
    std::string ownCopy;
    const std::string* content = &ownCopy;
    if (file.empty())
        return false;
    if (HeldFiles()) {
        const HeldFile& held = Held(platform::ResolvePath(file));
        if (!held.present)
            return false;
        content = &held.content;
    } else if (!platform::ReadWholeFile(file, ownCopy)) {
        return false;
    }
    std::optional<std::string> found = platform::IniValue(*content, section, key);
    if (!found)
        return false;
    value = std::move(*found);
    return true;
}

// The owner's write bit stands for the Windows read-only attribute. Checked here because root,
// which the program may run as, is let through by the system's own checks.
static bool OwnerMayWrite(const fs::path& path)
{
    std::error_code error;
    fs::perms perms = fs::status(path, error).permissions();
    return !error && (perms & fs::perms::owner_write) != fs::perms::none;
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

// False when the file cannot be written: its folder is missing or read-only, or it exists and is
// no regular file or is read-only.
static bool MayWrite(const std::string& target)
{
    fs::path folder = fs::path(target).parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    if (!fs::is_directory(folder, error) || !OwnerMayWrite(folder))
        return false;
    return !fs::exists(target, error)
        || (fs::is_regular_file(target, error) && OwnerMayWrite(target));
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
            held.writable = MayWrite(target) && (held.present || !held.exists);
        if (!*held.writable)
            return false;
        platform::SpliceIniValue(held.content, section, key, value);
        held.present = held.changed = true;
        return true;
    }
    std::string content;
    std::error_code error;
    if (!MayWrite(target)
        || (fs::exists(target, error) && !platform::ReadWholeFile(target, content)))
        return false;
    platform::SpliceIniValue(content, section, key, value);
    return platform::ReplaceFileContent(target, content);
}

platform::HeldProfileWrites::HeldProfileWrites() { HeldFiles().emplace(); }

platform::HeldProfileWrites::~HeldProfileWrites() { HeldFiles().reset(); }

std::string platform::HeldProfileWrites::Store()
{
    std::vector<std::pair<std::string, std::string>> changed;
    if (HeldFiles())
        for (auto& [target, held] : *HeldFiles())
            if (held.changed)
                changed.emplace_back(target, std::move(held.content));
    HeldFiles().reset();
    return platform::ReplaceFileContents(changed);
}
