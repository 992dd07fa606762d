// The INI functions on real files, each test in a fresh temporary folder.
#include "platform/profile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_view_literals;
using platform::GetPrivateProfileInt;
using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

namespace {

class ProfileFolder : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("profile-" + std::to_string(std::random_device {}()));
        fs::create_directory(folder);
        ini = (folder / "t.ini").string();
    }
    void TearDown() override
    {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    void Put(std::string_view content) const { std::ofstream(ini, std::ios::binary) << content; }
    std::string Content() const
    {
        std::ifstream in(ini, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
    fs::path folder;
    std::string ini;
};

class ProfileRead : public ProfileFolder { };
class ProfileInt : public ProfileFolder { };
class ProfileWrite : public ProfileFolder { };

// Lines as Windows leaves them plus the shapes people type by hand; the last line has no break.
const std::string kHandWritten = "k0=before any header\n[Quotes]\ndouble=\"  spaced  \"\n"
                                 "nested=\"'x'\"\nmismatched=\"x'\nlone=\"\ntrailing=\"x\" y\n"
                                 " [ Spacing ] ignored=1\n \v key one \t=  v a l \t\v\n"
                                 "\tTabbed\t=\tval\neq=a=b\nempty=\nnoequals\n;comment=c\n"
                                 "  ;indented=c\ninline=v ;x\n#hash=h\n[Dup]\na=first\na=second\n"
                                 "[]\nn=unnamed\n[dup]\nb=second copy\n[Open\no=open";

// Every lookup gives the same answer whichever line end the file uses.
TEST_F(ProfileRead, FindsEntriesWithAnyLineEnd)
{
    struct Case {
        const char *section, *key, *expected;
    };
    // clang-format off
    const Case cases[] = {
        { "Quotes", "double", "  spaced  " }, { "QUOTES", "Nested", "'x'" },
        { "Quotes", "mismatched", "\"x'" }, { "Quotes", "lone", "\"" },
        { "Quotes", "trailing", "\"x\" y" }, { " Spacing ", " key one ", "v a l" },
        { "Spacing", "ignored", "dflt" }, { "Spacing", "tabbed", "val" },
        { "Spacing", "Tabbed\t", "dflt" }, { "Spacing", "eq", "a=b" }, { "Spacing", "empty", "" },
        { "Spacing", "noequals", "dflt" }, { "Spacing", ";comment", "dflt" },
        { "Spacing", ";indented", "dflt" }, { "Spacing", "inline", "v ;x" },
        { "Spacing", "#hash", "h" }, { "Dup", "a", "first" }, { "Dup", "b", "dflt" },
        { "", "n", "unnamed" }, { "", "k0", "dflt" }, { "Open", "o", "open" },
        { "Missing", "a", "dflt" },
    };
    // clang-format on
    for (const char* lineEnd : { "\r\n", "\r", "\n" }) {
        std::string content;
        for (char c : kHandWritten)
            content += c == '\n' ? lineEnd : std::string(1, c);
        Put(content);
        for (const Case& c : cases) {
            EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "dflt", 255, ini), c.expected)
                << c.section << "/" << c.key << " with " << testing::PrintToString(lineEnd);
        }
    }
}

// A missing file, section or key gives the default less its trailing spaces, nothing else cut.
TEST_F(ProfileRead, DefaultLosesTrailingSpacesOnly)
{
    const std::pair<const char*, const char*> cases[]
        = { { "dflt  ", "dflt" }, { " a b \t", " a b \t" }, { "\"q\"  ", "\"q\"" }, { "  ", "" } };
    Put("[s]\r\nk=1\r\n");
    for (const std::string& file : { ini, std::string(), (folder / "none.ini").string() }) {
        for (const auto& [given, expected] : cases) {
            EXPECT_EQ(GetPrivateProfileString("s", "none", given, 255, file), expected) << file;
            EXPECT_EQ(GetPrivateProfileString("none", "k", given, 255, file), expected) << file;
        }
    }
}

// Values and defaults are cut to one less than the buffer size, as a C buffer holds them.
TEST_F(ProfileRead, CutsResultToBufferSizeLessOne)
{
    const std::string value(300, 'v');
    Put("[s]\r\nk=\"" + value + "\"\r\n");
    const std::pair<int, size_t> cases[]
        = { { 255, 254 }, { 300, 299 }, { 4, 3 }, { 1, 0 }, { 0, 0 }, { -1, 0 } };
    for (const auto& [size, length] : cases) {
        EXPECT_EQ(GetPrivateProfileString("s", "k", "", size, ini), value.substr(0, length));
        EXPECT_EQ(GetPrivateProfileString("s", "x", value, size, ini), value.substr(0, length));
    }
}

// Windows holds a value's length in 16 bits: 65536 characters read as none.
TEST_F(ProfileRead, LengthOfLongValuesWrapsAt65536)
{
    const std::pair<size_t, size_t> cases[] = { { 65535, 65535 }, { 65536, 0 }, { 65537, 1 } };
    for (const auto& [stored, read] : cases) {
        Put("[s]\r\nk=" + std::string(stored, 'v') + "\r\n");
        EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 70000, ini).size(), read) << stored;
    }
}

// Decimal digits up to the first other character, one sign, the low 32 bits of the result.
TEST_F(ProfileInt, ReadsDecimalKeepingLow32Bits)
{
    struct Case {
        const char* line;
        int defaultValue;
        std::uint32_t expected;
    };
    // clang-format off
    const Case cases[] = {
        { "n=12abc", 7, 12 }, { "n=-1", 7, 0xFFFFFFFF }, { "n=4294967297", 7, 1 },
        { "n=-4294967297", 7, 0xFFFFFFFF }, { "n=2147483648", 7, 0x80000000 }, { "n=+-1", 7, 0 },
        { "n=- 1", 7, 0 }, { "n=abc", 7, 0 }, { "n=0x1F", 7, 0 }, { "n=056789", 7, 56789 },
        { "n=\"42\"", 7, 42 }, { "n=\x01\x1f+17", 7, 17 }, { "n=", 7, 7 }, { "n=''", 7, 7 },
        { "m=5", 7, 7 }, { "m=5", -1, 0xFFFFFFFF },
    };
    // clang-format on
    for (const Case& c : cases) {
        Put(std::string("[s]\r\n") + c.line + "\r\n");
        EXPECT_EQ(GetPrivateProfileInt("S", "N", c.defaultValue, ini), c.expected) << c.line;
    }
    EXPECT_EQ(GetPrivateProfileInt("s", "n", 3, ""), 3u);
}

// Each kind of write changes or adds one line, keeps every other byte and leaves no temporary file.
TEST_F(ProfileWrite, SplicesOneLineKeepingTheRestByteForByte)
{
    struct Write {
        const char *section, *key, *value;
    };
    struct Case {
        std::optional<std::string_view> before;
        std::vector<Write> writes;
        std::string_view after;
    };
    // clang-format off
    const Case cases[] = {
        { std::nullopt, { { "Sec", "key", "value" } }, "[Sec]\r\nkey=value\r\n" },
        { "[A]\nk=v\n", { { "B", "x", "1" } }, "[A]\nk=v\n[B]\r\nx=1\r\n" },
        { "ab\0c"sv, { { "B", "x", "" } }, "ab\0c\r\n[B]\r\nx=\r\n"sv },
        { "[s]\r\nb=1\r\na=2\n;c\r\n\r\n[t]\r\n", { { "s", "z", "3" } },
            "[s]\r\nb=1\r\na=2\nz=3\r\n;c\r\n\r\n[t]\r\n" },
        { "[s]\r\nb=\r\na=\r\n", { { "s", "z", "" }, { "s", "b", "" }, { "s", "y", "" },
            { "s", "a", "" } }, "[s]\r\nb=\r\na=\r\nz=\r\ny=\r\n" },
        { "[s]\r\na=1\r\n", { { "s", ";x", "1" }, { "s", ";x", "2" } },
            "[s]\r\na=1\r\n;x=2\r\n;x=1\r\n" },
        { "[s]\r\n;c\r\n\r\n[t]\r\nk=1\r\n", { { "s", "z", "2" } },
            "[s]\r\nz=2\r\n;c\r\n\r\n[t]\r\nk=1\r\n" },
        { "[s]", { { "s", "z", "2" } }, "[s]\r\nz=2\r\n" },
        { "[s]\r\na=1", { { "s", "z", "2" } }, "[s]\r\na=1\r\nz=2\r\n" },
        { "; top\n[s]\r\n  Key = old \r\nnext=x\r", { { "s", "KEY", "new" } },
            "; top\n[s]\r\nKey=new\r\nnext=x\r" },
        { "[s]\r\nkey=value", { { "S", "key", "value2" } }, "[s]\r\nkey=value2\r\n" },
        { "[SeC]\r\nKeY=1\r\n", { { "sec", "key", "2" } }, "[SeC]\r\nKeY=2\r\n" },
        { "[s]\r\n", { { " s ", " k\t ", "  v ;#\"q\"\t" } }, "[s]\r\nk\t=  v ;#\"q\"\t\r\n" },
        { "[s]\r\na=1\r\n[S]\r\nb=1\r\n", { { "s", "b", "2" } },
            "[s]\r\na=1\r\nb=2\r\n[S]\r\nb=1\r\n" },
    };
    // clang-format on
    for (const Case& c : cases) {
        fs::remove(ini);
        if (c.before)
            Put(*c.before);
        for (const Write& write : c.writes)
            EXPECT_TRUE(WritePrivateProfileString(write.section, write.key, write.value, ini));
        EXPECT_EQ(Content(), c.after) << testing::PrintToString(c.before.value_or("(no file)"));
        EXPECT_EQ(Names(), std::vector<std::string> { "t.ini" });
    }
}

// A write into a read-only file or folder, a missing folder or an empty path fails and leaves
// the folder as it was.
TEST_F(ProfileWrite, RefusesWhereNothingMayBeWritten)
{
    struct Case {
        fs::perms fileMode, folderMode;
        const char* target;
    };
    const Case cases[] = { { fs::perms(0444), fs::perms(0755), "t.ini" },
        { fs::perms(0644), fs::perms(0555), "t.ini" },
        { fs::perms(0644), fs::perms(0555), "n.ini" } };
    const std::string before = "[s]\r\nk=1\r\n";
    for (const Case& c : cases) {
        Put(before);
        fs::permissions(ini, c.fileMode);
        fs::permissions(folder, c.folderMode);
        EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", (folder / c.target).string()));
        fs::permissions(folder, fs::perms(0755));
        EXPECT_EQ(Names(), std::vector<std::string> { "t.ini" }) << c.target;
        EXPECT_EQ(Content(), before);
        fs::remove(ini);
    }
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (folder / "missing" / "t.ini").string()));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", ""));
    EXPECT_TRUE(Names().empty());
}

// A rewritten file keeps its permission bits.
TEST_F(ProfileWrite, KeepsPermissionBits)
{
    for (fs::perms mode : { fs::perms(0600), fs::perms(0664), fs::perms(0640) }) {
        Put("[s]\r\nk=1\r\n");
        fs::permissions(ini, mode);
        EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", ini));
        EXPECT_EQ(fs::status(ini).permissions(), mode);
    }
}

// The file name is matched without regard to case, for reads and writes alike.
TEST_F(ProfileWrite, FindsFileWhateverTheCaseOfItsName)
{
    Put("[s]\r\nk=1\r\n");
    const std::string upper = (folder / "T.INI").string();
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 255, upper), "1");
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", upper));
    EXPECT_EQ(Names(), std::vector<std::string> { "t.ini" });
    EXPECT_EQ(Content(), "[s]\r\nk=2\r\n");
}

}
