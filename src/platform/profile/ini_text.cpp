// One scan of the file's bytes finds what a call needs; a write splices only the line it changes
// or adds, so every other byte of the file stays as it was.
#include "platform/profile/ini_text.h"
#include "platform/system/text.h"

#include <algorithm>
#include <cstddef>

// What the file's lines lose around their names and values: spaces, tabs and vertical tabs.
// Names passed in by a caller lose their spaces only (TrimSpaces): a tab is part of the name.
static bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

static std::string_view TrimLineBlanks(std::string_view text)
{
    while (!text.empty() && IsLineBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsLineBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Start of the line after the one ending at `stop`; CR LF, CR and LF each end a line.
static size_t NextLine(std::string_view content, size_t stop)
{
    if (stop >= content.size())
        return content.size();
    bool crLf = content[stop] == '\r' && stop + 1 < content.size() && content[stop + 1] == '\n';
    return stop + (crLf ? 2 : 1);
}

// Lines before the first header belong to no section; comment lines and lines without "=" never
// name a key, and a section or key met again later is not the one found.
platform::IniIndex platform::IndexIni(std::string_view content)
{
    IniIndex index;
    IniIndex::Section* current = nullptr;
    for (size_t begin = 0; begin < content.size();) {
        size_t stop = std::min(content.find_first_of("\r\n", begin), content.size());
        size_t next = NextLine(content, stop);
        std::string_view line = TrimLineBlanks(content.substr(begin, stop - begin));
        if (!line.empty() && line.front() == '[') {
            size_t close = line.find(']');
            auto [section, first]
                = index.sections.try_emplace(FoldedCase(TrimLineBlanks(line.substr(1, close - 1))));
            current = first ? &section->second : nullptr;
            if (current)
                current->insertAt = next;
        } else if (current && !line.empty() && line.front() != ';') {
            current->insertAt = next;
            size_t equals = line.find('=');
            if (equals != std::string_view::npos) {
                std::string_view name = TrimLineBlanks(line.substr(0, equals));
                std::string_view value = TrimLineBlanks(line.substr(equals + 1));
                current->keys.try_emplace(FoldedCase(name),
                    IniIndex::Key { begin, next, size_t(name.data() - content.data()), name.size(),
                        size_t(value.data() - content.data()), value.size() });
            }
        }
        begin = next;
    }
    return index;
}

// One outer pair of matching single or double quotes is removed.
static std::string_view StripQuotes(std::string_view value)
{
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

std::optional<std::string> platform::IniValue(
    std::string_view content, const IniIndex& index, std::string_view section, std::string_view key)
{
    auto found = index.sections.find(FoldedCase(TrimSpaces(section)));
    if (found == index.sections.end())
        return std::nullopt;
    auto entry = found->second.keys.find(FoldedCase(TrimSpaces(key)));
    if (entry == found->second.keys.end())
        return std::nullopt;
    // Windows holds a value's length in 16 bits, so longer values wrap around.
    std::string_view value
        = content.substr(entry->second.valueBegin, entry->second.valueLength % 65536);
    return std::string(StripQuotes(value));
}

std::optional<std::string> platform::IniValue(
    std::string_view content, std::string_view section, std::string_view key)
{
    return IniValue(content, IndexIni(content), section, key);
}

// Moves by `by` bytes every place that lies after text inserted at `from`: what begins there
// moves, a line that ends there stays as it was.
static void Shift(platform::IniIndex& index, size_t from, std::ptrdiff_t by)
{
    auto move = [&](size_t& at, bool end) {
        if (at > from || (at == from && !end))
            at = static_cast<size_t>(static_cast<std::ptrdiff_t>(at) + by);
    };
    for (auto& [name, section] : index.sections) {
        move(section.insertAt, false);
        for (auto& [key, entry] : section.keys) {
            for (size_t* at : { &entry.lineBegin, &entry.nameBegin, &entry.valueBegin })
                move(*at, false);
            move(entry.lineEnd, true);
        }
    }
}

// The index entry of a key line written at `begin`: its name, "=", `value` and the line break,
// `lineLength` bytes in all.
static platform::IniIndex::Key KeyLine(
    size_t begin, size_t nameLength, std::string_view value, size_t lineLength)
{
    std::string_view trimmed = TrimLineBlanks(value);
    size_t valueBegin = begin + nameLength + 1 + size_t(trimmed.data() - value.data());
    return { begin, begin + lineLength, begin, nameLength, valueBegin, trimmed.size() };
}

// Writes or replaces the entry in the file's bytes, as the single-entry write does on disk.
void platform::SpliceIniValue(std::string& content, IniIndex& index, std::string_view section,
    std::string_view key, const std::string& value)
{
    std::string_view sectionName = TrimSpaces(section);
    std::string_view keyName = TrimSpaces(key);
    std::string foldedKey = FoldedCase(keyName);
    auto found = index.sections.find(FoldedCase(sectionName));
    IniIndex::Key* entry = nullptr;
    if (found != index.sections.end()) {
        auto keyFound = found->second.keys.find(foldedKey);
        entry = keyFound == found->second.keys.end() ? nullptr : &keyFound->second;
    }
    // A line break in the value makes lines of its own, and a last line without one gets one:
    // then the text is looked at anew.
    bool reindex = value.find_first_of("\r\n") != std::string::npos;
    if (entry) {
        std::string line
            = content.substr(entry->nameBegin, entry->nameLength) + "=" + value + "\r\n";
        size_t begin = entry->lineBegin, end = entry->lineEnd;
        content.replace(begin, end - begin, line);
        Shift(index, end, std::ptrdiff_t(line.size()) - std::ptrdiff_t(end - begin));
        *entry = KeyLine(begin, entry->nameLength, value, line.size());
    } else {
        size_t at = found != index.sections.end() ? found->second.insertAt : content.size();
        std::string addition;
        if (at > 0 && content[at - 1] != '\n' && content[at - 1] != '\r') {
            addition = "\r\n";
            reindex = true;
        }
        if (found == index.sections.end())
            addition.append("[").append(sectionName).append("]\r\n");
        size_t lineBegin = at + addition.size();
        std::string line = std::string(keyName) + "=" + value + "\r\n";
        addition += line;
        content.insert(at, addition);
        // A new section goes after everything; a new key moves what follows its section.
        if (found != index.sections.end())
            Shift(index, at, std::ptrdiff_t(addition.size()));
        IniIndex::Section& target = index.sections[FoldedCase(sectionName)];
        target.keys[foldedKey] = KeyLine(lineBegin, keyName.size(), value, line.size());
        target.insertAt = at + addition.size();
    }
    if (reindex)
        index = IndexIni(content);
}

void platform::SpliceIniValue(
    std::string& content, std::string_view section, std::string_view key, const std::string& value)
{
    IniIndex index = IndexIni(content);
    SpliceIniValue(content, index, section, key, value);
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
