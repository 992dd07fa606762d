// One scan of the file's bytes finds what a call needs; a write splices only the line it changes
// or adds, so every other byte of the file stays as it was.
#include "platform/profile/ini_text.h"
#include "platform/system/text.h"

#include <algorithm>

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

std::optional<std::string> platform::IniValue(
    std::string_view content, std::string_view section, std::string_view key)
{
    Entry entry = Find(content, TrimSpaces(section), TrimSpaces(key));
    if (!entry.keyFound)
        return std::nullopt;
    // Windows holds a value's length in 16 bits, so longer values wrap around.
    std::string_view text = entry.value.substr(0, entry.value.size() % 65536);
    return std::string(StripQuotes(text));
}

// Writes or replaces the entry in the file's bytes, as the single-entry write does on disk.
void platform::SpliceIniValue(
    std::string& content, std::string_view section, std::string_view key, const std::string& value)
{
    std::string_view sectionName = TrimSpaces(section);
    std::string_view keyName = TrimSpaces(key);
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

std::uint32_t platform::ParseIniDecimal(std::string_view text)
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
