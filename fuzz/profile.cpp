// The INI reader and writer: input = section NUL key NUL value NUL file content. Any file and any
// names are read and written without a crash; a write keeps every other line byte for byte, and a
// value that a line can hold reads back as written.
#include "platform/profile/profile.h"
#include "fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

static const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("lobix-fuzz-profile-" + std::to_string(getpid()));
    return folder;
}

static const std::string& IniPath()
{
    static const std::string path = [] {
        std::filesystem::create_directories(Folder());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return (Folder() / "fuzz.ini").string();
    }();
    return path;
}

static std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

static bool Has(std::string_view text, std::string_view chars)
{
    return text.find_first_of(chars) != std::string_view::npos;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

static std::string_view WithoutSpaces(std::string_view name)
{
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return name;
}

// A name that one header or key line holds and reads back as the same name.
static bool PlainName(std::string_view name, std::string_view forbidden)
{
    name = WithoutSpaces(name);
    return !name.empty() && !Has(name, forbidden) && !IsBlank(name.front()) && !IsBlank(name.back())
        && name.front() != ';' && name.front() != '[';
}

// A value that one line holds and reads back unchanged.
static bool PlainValue(std::string_view value)
{
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    return !Has(value, "\r\n") && !quoted
        && (value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back())));
}

static size_t LineBreaks(std::string_view text)
{
    size_t breaks = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++breaks;
    return breaks;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    fuzz::QuietProcess();
    auto pieces = fuzz::Pieces(data, size, 4);
    const std::string &section = pieces[0], &key = pieces[1], &value = pieces[2];
    const std::string& before = pieces[3];
    const std::string& path = IniPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << before;

    platform::GetPrivateProfileString(section, key, "default  ", 255, path);
    platform::GetPrivateProfileInt(section, key, -1, path);
    if (!platform::WritePrivateProfileString(section, key, value, path))
        fuzz::Broken("a write to a writable file succeeds", path);
    std::string after = ReadAll(path);

    // Only the entry's line changes: what is left of both files once their common beginning and
    // end are cut off is at most one old line and at most a header, the entry and a line break.
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
        && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    std::string_view removed = std::string_view(before).substr(head, before.size() - head - tail);
    std::string_view added = std::string_view(after).substr(head, after.size() - head - tail);
    bool oneLine = !Has(section + key + value, "\r\n");
    if (LineBreaks(removed) > 1 || (oneLine && LineBreaks(added) > 3))
        fuzz::Broken("a write changes only the entry's line", after);

    if (PlainName(section, "\r\n]") && PlainName(key, "\r\n=") && PlainValue(value)) {
        std::string read = platform::GetPrivateProfileString(section, key, "", 1 << 20, path);
        if (read != value)
            fuzz::Broken("a written value reads back", after);
        std::string again = platform::GetPrivateProfileString(section, key, "", 4, path);
        if (again != value.substr(0, 3))
            fuzz::Broken("a read is cut to the buffer less one", again);
    }
    return 0;
}
