// The INI functions on real files, each test in a fresh temporary folder.
#include "platform/profile/profile.h"
#include "platform/system/failure.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace fs = std::filesystem;
using namespace std::string_view_literals;
using namespace std::string_literals;
using namespace platform;

namespace {

// A default as passed, and as a missing entry gives it back: trailing spaces cut, nothing else.
constexpr const char* kDefault = " \"d\" \t  ";
constexpr const char* kMissing = " \"d\" \t";

std::string Read(const std::string& file)
{
    return { std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {} };
}

struct Profile : testing::Test {
    void SetUp() override { fs::create_directory(folder); }
    void TearDown() override { fs::remove_all(folder); }
    // Files in the folder: a refused or finished write leaves no other.
    long Files() const { return std::distance(fs::directory_iterator(folder), {}); }
    const fs::path folder
        = fs::temp_directory_path() / ("ini-" + std::to_string(std::random_device {}()));
    const std::string ini = (folder / "t.ini").string();
};

}

// Lines as Windows leaves them and as people type them read alike with CR LF, CR or LF; the last
// line has no break. Numbers: decimal digits up to the first other character after one sign, the
// low 32 bits of the result.
TEST_F(Profile, ReadsHandWrittenFilesWithAnyLineEnd)
{
    const std::string text
        = "k0=no section\n[Quotes]\ndouble=\"  spaced  \"\nnested=\"'x'\"\nmismatched=\"x'\n"
          "lone=\"\n [ Spacing ] ignored=1\n \v key one \t=  v a l \t\v\neq=a=b\nempty=\n"
          "noequals\n;comment=c\n  ;indented=c\ninline=v ;x\n#hash=h\n[Dup]\na=first\na=second\n"
          "[]\nn=unnamed\n[dup]\nb=second copy\n[N]\na=12abc\nb=-1\nc=4294967297\nd=-4294967297\n"
          "e=2147483648\nf=+-1\ng=- 1\nh=0x1F\ni=056789\nj=\"42\"\nk=\x01\x1f+17\nl=\nm=''\n"
          "[Open\no=open";
    const std::array<const char*, 3> cases[] = { { "Quotes", "double", "  spaced  " },
        { "QUOTES", "Nested", "'x'" }, { "Quotes", "mismatched", "\"x'" },
        { "Quotes", "lone", "\"" }, { " Spacing ", " key one ", "v a l" },
        { "Spacing", "ignored", kMissing }, { "Spacing", "eq", "a=b" }, { "Spacing", "empty", "" },
        { "Spacing", "noequals", kMissing }, { "Spacing", ";comment", kMissing },
        { "Spacing", ";indented", kMissing }, { "Spacing", "inline", "v ;x" },
        { "Spacing", "#hash", "h" }, { "Dup", "a", "first" }, { "Dup", "b", kMissing },
        { "", "n", "unnamed" }, { "", "k0", kMissing }, { "Open", "o", "open" },
        { "Missing", "a", kMissing } };
    const std::pair<const char*, std::uint32_t> numbers[] = { { "a", 12 }, { "b", 0xFFFFFFFF },
        { "c", 1 }, { "d", 0xFFFFFFFF }, { "e", 0x80000000 }, { "f", 0 }, { "g", 0 }, { "h", 0 },
        { "i", 56789 }, { "j", 42 }, { "k", 17 }, { "l", 7 }, { "m", 7 }, { "z", 7 } };
    for (const char* lineEnd : { "\r\n", "\r", "\n" }) {
        std::string content;
        for (char c : text)
            content += c == '\n' ? lineEnd : std::string(1, c);
        std::ofstream(ini, std::ios::binary) << content;
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        for (const auto& [section, key, expected] : cases)
            EXPECT_EQ(GetPrivateProfileString(section, key, kDefault, 255, ini), expected)
                << section << "/" << key;
        for (const auto& [key, expected] : numbers)
            EXPECT_EQ(GetPrivateProfileInt("n", key, 7, ini), expected) << key;
    }
    for (const std::string& file : { std::string(), (folder / "none.ini").string() })
        EXPECT_EQ(GetPrivateProfileString("Dup", "a", kDefault, 255, file), kMissing) << file;
}

// Values and defaults are cut to one less than the buffer size, as a C buffer holds them; a
// value's length wraps at 65536, as Windows holds it in 16 bits.
TEST_F(Profile, CutsToBufferSizeLessOne)
{
    const std::string value(300, 'v');
    std::ofstream(ini, std::ios::binary) << "[s]\r\nk=\"" + value + "\"\r\n";
    for (const auto& [size, length] :
        { std::pair<int, size_t> { 255, 254 }, { 301, 300 }, { 1, 0 }, { 0, 0 }, { -1, 0 } }) {
        EXPECT_EQ(GetPrivateProfileString("s", "k", "", size, ini), value.substr(0, length));
        EXPECT_EQ(GetPrivateProfileString("s", "x", value, size, ini), value.substr(0, length));
    }
    for (const auto& [stored, read] : { std::pair<size_t, size_t> { 65536, 0 }, { 65537, 1 } }) {
        std::ofstream(ini, std::ios::binary) << "[s]\r\nk=" + std::string(stored, 'v') + "\r\n";
        EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 70000, ini).size(), read) << stored;
    }
}

// Each write changes or adds one line, keeps every other byte and leaves no temporary file.
TEST_F(Profile, WriteSplicesOneLineKeepingTheRestByteForByte)
{
    // File before ({} for none), section, key, value, file after.
    using Case
        = std::tuple<std::string_view, const char*, const char*, const char*, std::string_view>;
    const Case cases[] = { { {}, "Sec", "key", "value", "[Sec]\r\nkey=value\r\n" },
        { "a\0b\n[A]\nk=v"sv, "B", "x", "", "a\0b\n[A]\nk=v\r\n[B]\r\nx=\r\n"sv },
        { "[s]\r\nb=1\r\na=2\n;c\r\n\r\n[t]\r\n", "s", "z", "3",
            "[s]\r\nb=1\r\na=2\nz=3\r\n;c\r\n\r\n[t]\r\n" },
        { "[s]\r\n;c\r\n\r\n[t]\r\nk=1\r\n", "s", "z", "2",
            "[s]\r\nz=2\r\n;c\r\n\r\n[t]\r\nk=1\r\n" },
        { "[s]\r\n;x=1\r\nb=\r\n", "s", ";x", "2", "[s]\r\n;x=1\r\nb=\r\n;x=2\r\n" },
        { "; top\n[s]\r\n  Key = old \r\nnext=x\r", "s", "KEY", "new",
            "; top\n[s]\r\nKey=new\r\nnext=x\r" },
        { "[s]\r\nkey=value", "S", "key", "value2", "[s]\r\nkey=value2\r\n" },
        { "[s]\r\n", " s ", " k\t ", "  v ;#\"q\"\t", "[s]\r\nk\t=  v ;#\"q\"\t\r\n" },
        { "[s]\r\na=1\r\n[S]\r\nb=1\r\n", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n[S]\r\nb=1\r\n" } };
    for (const auto& [before, section, key, value, after] : cases) {
        fs::remove(ini);
        if (before.data())
            std::ofstream(ini, std::ios::binary) << before;
        EXPECT_TRUE(WritePrivateProfileString(section, key, value, ini));
        EXPECT_EQ(Read(ini), after) << testing::PrintToString(before);
    }
}

// A read-only file or folder, a missing folder or an empty path refuse the write, held or not; a
// rewrite keeps the file's permission bits, and its name given in another case.
TEST_F(Profile, WriteRefusesReadOnlyPlacesAndKeepsPermissions)
{
    const std::tuple<int, int, const char*, bool> cases[]
        = { { 0444, 0755, "t.ini", false }, { 0644, 0555, "t.ini", false },
              { 0644, 0555, "n.ini", false }, { 0600, 0755, "T.INI", true },
              { 0664, 0755, "T.INI", true }, { 0640, 0755, "T.INI", true } };
    for (bool held : { false, true })
        for (const auto& [fileMode, folderMode, target, written] : cases) {
            std::ofstream(ini, std::ios::binary) << "[s]\r\nk=1\r\n";
            fs::permissions(ini, fs::perms(fileMode));
            fs::permissions(folder, fs::perms(folderMode));
            auto hold = held ? std::make_optional<HeldProfileWrites>() : std::nullopt;
            EXPECT_EQ(
                WritePrivateProfileString("s", "k", "2", (folder / target).string()), written);
            fs::permissions(folder, fs::perms(0755));
            EXPECT_EQ(hold ? hold->Store().file : "", "");
            EXPECT_EQ(Read(ini), written ? "[s]\r\nk=2\r\n" : "[s]\r\nk=1\r\n") << target;
            EXPECT_EQ(fs::status(ini).permissions(), fs::perms(fileMode));
            EXPECT_EQ(Files(), 1);
        }
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (folder / "missing" / "t.ini").string()));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", ""));
    EXPECT_EQ(Files(), 1);
}

// Held, reads see the writes made since, also of a file made while held, in any letter case. Store
// writes every changed file or, when one cannot be written, none; ending the hold writes none.
TEST_F(Profile, HeldWritesAreReadBackAndStoredAllOrNothing)
{
    std::ofstream(ini, std::ios::binary) << "x\0y\n[S]\nb=0"sv;
    const std::string made = (folder / "B.INI").string(), same = (folder / "b.ini").string();
    const std::string lost = (folder / "u" / "c.ini").string();
    fs::create_directory(folder / "u");
    {
        HeldProfileWrites dropped;
        EXPECT_TRUE(WritePrivateProfileString("s", "k", "1", ini));
    }
    {
        HeldProfileWrites failing;
        EXPECT_TRUE(WritePrivateProfileString("s", "k", "1", ini));
        EXPECT_TRUE(WritePrivateProfileString("s", "k", "1", lost));
        fs::remove_all(folder / "u");
        EXPECT_EQ(failing.Store().file, lost);
    }
    EXPECT_EQ(Read(ini), "x\0y\n[S]\nb=0"sv);
    EXPECT_EQ(Files(), 1);
    HeldProfileWrites held;
    EXPECT_EQ(GetPrivateProfileString("s", "k", "-", 255, same), "-");
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "1", made));
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", same));
    EXPECT_TRUE(WritePrivateProfileString(" S ", "a", "3", ini));
    EXPECT_EQ(GetPrivateProfileString("S", "K", "-", 255, made), "2");
    EXPECT_EQ(GetPrivateProfileString("s", "A", "-", 255, ini), "3");
    EXPECT_EQ(Files(), 1);
    EXPECT_EQ(held.Store().file, "");
    EXPECT_EQ(Read(made), "[s]\r\nk=2\r\n");
    EXPECT_EQ(Read(ini), "x\0y\n[S]\nb=0\r\na=3\r\n"sv);
    EXPECT_EQ(Files(), 2);
}

// A file that starts with the UTF-16LE mark is read and written as UTF-16, all else kept; one
// that does not decode as UTF-16 raises.
TEST_F(Profile, Utf16FilesStayUtf16)
{
    const std::string utf16 = "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xFC\0\r\0\n\0"s;
    std::ofstream(ini, std::ios::binary) << utf16;
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 255, ini), "\xC3\xBC");
    EXPECT_TRUE(WritePrivateProfileString("s", "n", "2", ini));
    EXPECT_EQ(Read(ini), utf16 + "n\0=\0\x32\0\r\0\n\0"s);
    std::ofstream(ini, std::ios::binary) << utf16 << 'x';
    EXPECT_THROW(GetPrivateProfileString("s", "k", "", 255, ini), platform::Failure);
}
