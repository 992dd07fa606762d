// INI access with the program's defaults, text forms and fault messages.
#include "config/ini_access.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct IniAccess : testing::Test {
    TempInstallation installation;
    std::string file = installation.Path("parameter/test.ini");
};

}

TEST_F(IniAccess, ReadsValuesWithTheProgramsDefaults)
{
    installation.Write("parameter/test.ini",
        "[S]\r\nlong=" + std::string(300, 'x')
            + "\r\nempty=\r\nt1=True\r\nt2=TRUE\r\nt3=tRuE\r\n"
              "f1=yes\r\nf2=1\r\nminus=-1\r\nseven=7\r\n");
    EXPECT_EQ(config::LoadIniString("S", "long", file, false), std::string(254, 'x'));
    EXPECT_EQ(config::LoadIniString("S", "empty", file, false), "");
    EXPECT_EQ(config::LoadIniString("S", "none", file, false), "");
    EXPECT_EQ(config::LoadIniString("S", "seven", "", false), "");
    for (const char* key : { "t1", "t2", "t3" })
        EXPECT_TRUE(config::LoadIniBoolean("S", key, file, false)) << key;
    for (const char* key : { "f1", "f2", "empty", "none" })
        EXPECT_FALSE(config::LoadIniBoolean("S", key, file, false)) << key;
    EXPECT_EQ(config::LoadIniInteger("S", "seven", file, false), 7);
    EXPECT_EQ(config::LoadIniInteger("S", "minus", file, false), -1);
    EXPECT_EQ(config::LoadIniInteger("S", "none", file, false), -1);
    EXPECT_EQ(config::LoadIniInteger("Nope", "seven", installation.Path("missing.ini"), false), -1);
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(IniAccess, ReportsMissingEntriesOnlyWhenAsked)
{
    installation.Write("parameter/test.ini", "[S]\r\nempty=\r\nword=maybe\r\n");
    config::LoadIniString("S", "empty", file, true);
    config::LoadIniBoolean("S", "word", file, true);
    config::LoadIniInteger("S", "none", file, true);
    ASSERT_EQ(installation.shown.size(), 3u);
    const char* keys[] = { "empty", "word", "none" };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(installation.shown[i].prompt,
            "File '" + file + "' or Section [S] or Entry '" + keys[i] + "' not found");
        EXPECT_EQ(installation.shown[i].title, "Lobix_Config");
        EXPECT_EQ(installation.shown[i].icon, platform::kCritical);
    }
}

TEST_F(IniAccess, OverflowGoesToTheErrorReportAndResumes)
{
    installation.Write("parameter/test.ini", "[S]\r\nbig=40000\r\n");
    installation.answers = { platform::kYes };
    EXPECT_EQ(config::LoadIniInteger("S", "big", file, false), 0);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].title, "Unexpected error");
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string> {
            "Fehler in Lobix / Lobix_Config_Exe / LoadIniInteger (Nr. 6) :Overflow" });
}

TEST_F(IniAccess, WritesValuesInTheProgramsTextFormsAndRefusesOthers)
{
    EXPECT_EQ(config::SaveIni(std::monostate {}, "S", "k", file), 0);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt, "Ini Save:  wrong data type");
    EXPECT_FALSE(installation.Exists("parameter/test.ini"));
    struct Case {
        config::IniValue value;
        const char* text;
    } cases[] = { { short(7), "7" }, { short(-5), "-5" }, { 359, "359" }, { true, "true" },
        { false, "false" }, { std::string("  inner  blanks "), "  inner  blanks " }, { 1.5, "1.5" },
        { 0.5, ".5" }, { -0.25, "-.25" }, { 1e20, "1E+20" }, { 0.00001, "1E-05" }, { 1.5f, "1.5" },
        { static_cast<unsigned char>(200), "200" } };
    auto key = [](size_t i) { return std::string(1, 'k').append(std::to_string(i)); };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NE(config::SaveIni(cases[i].value, "New", key(i), file), 0);
    std::vector<std::string> lines = Lines(installation.Read("parameter/test.ini"));
    ASSERT_EQ(lines.size(), std::size(cases) + 1);
    EXPECT_EQ(lines[0], "[New]");
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(lines[i + 1], key(i).append("=").append(cases[i].text));
}
