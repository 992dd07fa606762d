// The INI functions on real files, each test in a fresh temporary folder.
#include "platform/profile/profile.h"

#include "platform/system/files.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_view_literals;
using namespace platform;

namespace {

// A default as passed, and as a missing entry gives it back: trailing spaces cut, nothing else.
constexpr const char* kDefault = " \"d\" \t  ";
constexpr const char* kMissing = " \"d\" \t";

class Profile : public testing::Test {
protected:
    void SetUp() override { fs::create_directory(folder); }
    void TearDown() override { fs::remove_all(folder); }
    void Put(std::string_view content) const { std::ofstream(ini, std::ios::binary) << content; }
    std::string Content() const
    {
        return { std::istreambuf_iterator<char>(std::ifstream(ini, std::ios::binary).rdbuf()), {} };
    }
    // Files in the folder: a refused or finished write leaves no other.
    long Files() const { return std::distance(fs::directory_iterator(folder), {}); }
    const fs::path folder
        = fs::temp_directory_path() / ("ini-" + std::to_string(std::random_device {}()));
    const std::string ini = (folder / "t.ini").string();
};

}

// Lines as Windows leaves them and as people type them read alike with CR LF, CR or LF; the last
// line has no break.
TEST_F(Profile, ReadsHandWrittenFilesWithAnyLineEnd)
{
    const std::string text
        = "k0=no section\n[Quotes]\ndouble=\"  spaced  \"\nnested=\"'x'\"\nmismatched=\"x'\n"
          "lone=\"\n [ Spacing ] ignored=1\n \v key one \t=  v a l \t\v\neq=a=b\nempty=\n"
          "noequals\n;comment=c\n  ;indented=c\ninline=v ;x\n#hash=h\n[Dup]\na=first\na=second\n"
          "[]\nn=unnamed\n[dup]\nb=second copy\n[Open\no=open";
    const std::array<const char*, 3> cases[] = { { "Quotes", "double", "  spaced  " },
        { "QUOTES", "Nested", "'x'" }, { "Quotes", "mismatched", "\"x'" },
        { "Quotes", "lone", "\"" }, { " Spacing ", " key one ", "v a l" },
        { "Spacing", "ignored", kMissing }, { "Spacing", "eq", "a=b" }, { "Spacing", "empty", "" },
        { "Spacing", "noequals", kMissing }, { "Spacing", ";comment", kMissing },
        { "Spacing", ";indented", kMissing }, { "Spacing", "inline", "v ;x" },
        { "Spacing", "#hash", "h" }, { "Dup", "a", "first" }, { "Dup", "b", kMissing },
        { "", "n", "unnamed" }, { "", "k0", kMissing }, { "Open", "o", "open" },
        { "Missing", "a", kMissing } };
    for (const char* lineEnd : { "\r\n", "\r", "\n" }) {
        std::string content;
        for (char c : text)
            content += c == '\n' ? lineEnd : std::string(1, c);
        Put(content);
        for (const auto& [section, key, expected] : cases)
            EXPECT_EQ(GetPrivateProfileString(section, key, kDefault, 255, ini), expected)
                << section << "/" << key << " with " << testing::PrintToString(lineEnd);
    }
    for (const std::string& file : { std::string(), (folder / "none.ini").string() })
        EXPECT_EQ(GetPrivateProfileString("Dup", "a", kDefault, 255, file), kMissing) << file;
}

// Values and defaults are cut to one less than the buffer size, as a C buffer holds them; a
// value's length wraps at 65536, as Windows holds it in 16 bits.
TEST_F(Profile, CutsToBufferSizeLessOne)
{
    const std::string value(300, 'v');
    Put("[s]\r\nk=\"" + value + "\"\r\n");
    for (const auto& [size, length] :
        { std::pair<int, size_t> { 255, 254 }, { 301, 300 }, { 1, 0 }, { 0, 0 }, { -1, 0 } }) {
        EXPECT_EQ(GetPrivateProfileString("s", "k", "", size, ini), value.substr(0, length));
        EXPECT_EQ(GetPrivateProfileString("s", "x", value, size, ini), value.substr(0, length));
    }
    for (const auto& [stored, read] : { std::pair<size_t, size_t> { 65536, 0 }, { 65537, 1 } }) {
        Put("[s]\r\nk=" + std::string(stored, 'v') + "\r\n");
        EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 70000, ini).size(), read) << stored;
    }
}

// Decimal digits up to the first other character, one sign, the low 32 bits of the result.
TEST_F(Profile, ReadsIntegersKeepingLow32Bits)
{
    const std::pair<const char*, std::uint32_t> cases[]
        = { { "n=12abc", 12 }, { "n=-1", 0xFFFFFFFF }, { "n=4294967297", 1 },
              { "n=-4294967297", 0xFFFFFFFF }, { "n=2147483648", 0x80000000 }, { "n=+-1", 0 },
              { "n=- 1", 0 }, { "n=0x1F", 0 }, { "n=056789", 56789 }, { "n=\"42\"", 42 },
              { "n=\x01\x1f+17", 17 }, { "n=", 7 }, { "n=''", 7 }, { "m=5", 7 } };
    for (const auto& [line, expected] : cases) {
        Put(std::string("[s]\r\n") + line + "\r\n");
        EXPECT_EQ(GetPrivateProfileInt("S", "N", 7, ini), expected) << line;
    }
    EXPECT_EQ(GetPrivateProfileInt("s", "n", -1, ""), 0xFFFFFFFF);
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
            Put(before);
        EXPECT_TRUE(WritePrivateProfileString(section, key, value, ini));
        EXPECT_EQ(Content(), after) << testing::PrintToString(before);
        EXPECT_EQ(Files(), 1);
    }
}

// A read-only file or folder refuses the write and changes nothing, as do a missing folder and an
// empty path. A rewrite keeps the file's permission bits, and its name given in another case.
TEST_F(Profile, WriteRefusesReadOnlyPlacesAndKeepsPermissions)
{
    const std::tuple<int, int, const char*, bool> cases[]
        = { { 0444, 0755, "t.ini", false }, { 0644, 0555, "t.ini", false },
              { 0644, 0555, "n.ini", false }, { 0600, 0755, "T.INI", true },
              { 0664, 0755, "T.INI", true }, { 0640, 0755, "T.INI", true } };
    for (const auto& [fileMode, folderMode, target, written] : cases) {
        Put("[s]\r\nk=1\r\n");
        fs::permissions(ini, fs::perms(fileMode));
        fs::permissions(folder, fs::perms(folderMode));
        EXPECT_EQ(WritePrivateProfileString("s", "k", "2", (folder / target).string()), written);
        fs::permissions(folder, fs::perms(0755));
        EXPECT_EQ(Content(), written ? "[s]\r\nk=2\r\n" : "[s]\r\nk=1\r\n") << target;
        EXPECT_EQ(fs::status(ini).permissions(), fs::perms(fileMode));
        EXPECT_EQ(Files(), 1);
    }
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (folder / "missing" / "t.ini").string()));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", ""));
    EXPECT_EQ(Files(), 1);
}

// Writes held in memory and stored together leave the bytes the same writes leave one by one,
// and every read in between gives what it gives there.
TEST_F(Profile, HeldWritesStoreWhatWritesOneByOneWould)
{
    const std::string_view starts[] = { {}, "[s]\r\nk=1\r\n;c\r\n\r\n[t]\r\na=2"sv, "x\0y\n[S]\nb=0"sv };
    const char* sections[] = { "s", "S", " s ", "t", "new" };
    const char* keys[] = { "k", "K", "a", "b ", ";c", "z" };
    const char* values[] = { "", "1", " v ", "\"q\"" };
    const std::string files[] = { ini, (folder / "b.ini").string(), (folder / "B.INI").string() };
    std::mt19937 random(10);
    auto pick = [&](const auto& options) { return options[random() % std::size(options)]; };
    for (int round = 0; round < 60; ++round) {
        std::vector<std::array<std::string, 4>> writes(1 + random() % 30);
        for (auto& write : writes)
            write = { pick(files), pick(sections), pick(keys), pick(values) };
        std::string_view start = starts[round % std::size(starts)];
        auto run = [&](bool held) {
            for (const std::string& file : files)
                fs::remove(file);
            for (const std::string& file : { files[0], files[1] }) {
                if (start.data())
                    std::ofstream(file, std::ios::binary) << start;
            }
            ForgetResolvedPaths();
            std::optional<HeldProfileWrites> hold;
            if (held)
                hold.emplace();
            std::vector<std::string> seen;
            for (const auto& [file, section, key, value] : writes) {
                EXPECT_TRUE(WritePrivateProfileString(section, key, value, file));
                seen.push_back(GetPrivateProfileString(pick(sections), pick(keys), "-", 255, pick(files)));
            }
            if (hold) {
                EXPECT_EQ(hold->Store(), "");
            }
            for (const std::string& file : files)
                seen.push_back(std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}));
            return seen;
        };
        std::mt19937 same = random;
        std::vector<std::string> oneByOne = run(false);
        random = same;
        EXPECT_EQ(run(true), oneByOne) << "round " << round;
    }
}

// A held write is refused where the file refuses it; a file that cannot be stored leaves every
// file as it was, and a hold ended without storing writes nothing.
TEST_F(Profile, HeldWritesChangeNothingUnlessAllCanBeStored)
{
    const std::string other = (folder / "sub" / "c.ini").string();
    for (bool removeFolder : { false, true }) {
        Put("[s]\r\nk=1\r\n");
        fs::create_directory(folder / "sub");
        std::ofstream(folder / "r.ini") << "[s]\r\n";
        fs::permissions(folder / "r.ini", fs::perms(0444));
        HeldProfileWrites held;
        EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", (folder / "r.ini").string()));
        EXPECT_TRUE(WritePrivateProfileString("s", "n", "2", (folder / "T.ini").string()));
        EXPECT_TRUE(WritePrivateProfileString("s", "k", "3", other));
        EXPECT_EQ(GetPrivateProfileString("s", "k", "", 255, other), "3");
        if (removeFolder) {
            fs::remove_all(folder / "sub");
            EXPECT_EQ(held.Store(), other);
        }
        EXPECT_EQ(Content(), "[s]\r\nk=1\r\n");
        EXPECT_EQ(Files(), 2 + !removeFolder);
        fs::remove(folder / "r.ini");
    }
    EXPECT_FALSE(fs::exists(other));
}
