// One scan of the file's bytes finds what a call needs; a write splices only the line it changes
// or adds, so every other byte of the file stays as it was.
#include "platform/profile/profile.h"
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

// Where the first matching section and its first matching key line lie in the file.
struct Entry {
    bool sectionFound = false;
    bool keyFound = false;
    // Just after the section's last entry line, or after its header when it has none.
    size_t insertAt = 0;
    // The key line, its line break included.
    size_t lineBegin = 0;
    size_t lineEnd = 0;
    std::string_view key;
    std::string_view value;
};

}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

static std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names passed in lose their spaces only: a tab is part of the name.
static std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

static bool SameName(std::string_view a, std::string_view b)
{
    return platform::EqualsIgnoringCase(a, b);
}

// Start of the line after the one ending at `stop`; CR LF, CR and LF each end a line.
static size_t NextLine(std::string_view content, size_t stop)
{
    if (stop >= content.size())
        return content.size();
    bool crLf = content[stop] == '\r' && stop + 1 < content.size() && content[stop + 1] == '\n';
    return stop + (crLf ? 2 : 1);
}

// Only the first section of the name is searched, and in it the first key line of the name.
// Lines before the first header belong to no section; comment lines and lines without "=" never
// match a key.
static Entry Find(std::string_view content, std::string_view section, std::string_view key)
{
    Entry entry;
    bool inSection = false;
    for (size_t begin = 0; begin < content.size();) {
        size_t stop = std::min(content.find_first_of("\r\n", begin), content.size());
        size_t next = NextLine(content, stop);
        std::string_view line = TrimBlanks(content.substr(begin, stop - begin));
        if (!line.empty() && line.front() == '[') {
            if (inSection)
                return entry;
            size_t close = line.find(']');
            inSection = SameName(TrimBlanks(line.substr(1, close - 1)), section);
            if (inSection) {
                entry.sectionFound = true;
                entry.insertAt = next;
            }
        } else if (inSection && !line.empty() && line.front() != ';') {
            entry.insertAt = next;
            size_t equals = line.find('=');
            if (equals != std::string_view::npos
                && SameName(TrimBlanks(line.substr(0, equals)), key)) {
                entry.keyFound = true;
                entry.lineBegin = begin;
                entry.lineEnd = next;
                entry.key = TrimBlanks(line.substr(0, equals));
                entry.value = TrimBlanks(line.substr(equals + 1));
                return entry;
            }
        }
        begin = next;
    }
    return entry;
}

// One outer pair of matching single or double quotes is removed.
static std::string_view StripQuotes(std::string_view value)
{
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

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
            && SameName(made.filename().string(), wanted.filename().string()))
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
    Entry entry = Find(*content, TrimSpaces(section), TrimSpaces(key));
    if (!entry.keyFound)
        return false;
    // Windows holds a value's length in 16 bits, so longer values wrap around.
    std::string_view text = entry.value.substr(0, entry.value.size() % 65536);
    value.assign(StripQuotes(text));
    return true;
}

// Decimal only, as Windows converts: no overflow check, the low 32 bits remain.
static std::uint32_t ParseDecimal(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= 0x20)
        ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    std::uint32_t number = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        number = number * 10 + static_cast<std::uint32_t>(text[at] - '0');
    return negative ? 0u - number : number;
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
    return ParseDecimal(value);
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
    return !fs::exists(target, error) || (fs::is_regular_file(target, error) && OwnerMayWrite(target));
}

// Writes or replaces the entry in the file's bytes, as the single-entry write does on disk.
static void Splice(std::string& content, std::string_view sectionName, std::string_view keyName,
    const std::string& value)
{
    Entry entry = Find(content, sectionName, keyName);
    if (entry.keyFound) {
        std::string line = std::string(entry.key) + "=" + value + "\r\n";
        content.replace(entry.lineBegin, entry.lineEnd - entry.lineBegin, line);
        return;
    }
    size_t at = entry.sectionFound ? entry.insertAt : content.size();
    std::string addition;
    if (at > 0 && content[at - 1] != '\n' && content[at - 1] != '\r')
        addition = "\r\n";
    if (!entry.sectionFound)
        addition.append("[").append(sectionName).append("]\r\n");
    addition.append(keyName).append("=").append(value).append("\r\n");
    content.insert(at, addition);
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
        Splice(held.content, TrimSpaces(section), TrimSpaces(key), value);
        held.present = held.changed = true;
        return true;
    }
    std::string content;
    std::error_code error;
    if (!MayWrite(target) || (fs::exists(target, error) && !platform::ReadWholeFile(target, content)))
        return false;
    Splice(content, TrimSpaces(section), TrimSpaces(key), value);
    return platform::ReplaceFileContent(target, content);
}

platform::HeldProfileWrites::HeldProfileWrites()
{
    HeldFiles().emplace();
}

platform::HeldProfileWrites::~HeldProfileWrites()
{
    HeldFiles().reset();
}

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
