// INI access with the program's defaults, text forms and fault messages.
#include "config/ini_access.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;

// Each entry as text, Boolean and number, unasked and asked to report it missing (text when "",
// a Boolean when not TRUE or FALSE, a number when -1); beyond 16 bits, the error report resumes.
TEST(IniAccess, ReadsWithTheProgramsDefaultsAndReportsMissingEntriesOnlyWhenAsked)
{
    TempInstallation installation;
    const std::string file = installation.Path("parameter/test.ini");
    installation.Write("parameter/test.ini",
        "[S]\r\nlong=" + std::string(300, 'x')
            + "\r\nempty=\r\nt=tRuE\r\nf=False\r\none=1\r\nminus=-1\r\nbig=40000\r\n");
    // Key, text, Boolean, number, and how many of the three report it when asked.
    const std::tuple<const char*, std::string, bool, short, size_t> cases[]
        = { { "long", std::string(254, 'x'), false, 0, 1 }, { "empty", "", false, -1, 3 },
              { "none", "", false, -1, 3 }, { "t", "tRuE", true, 0, 0 },
              { "f", "False", false, 0, 0 }, { "one", "1", false, 1, 1 },
              { "minus", "-1", false, -1, 2 } };
    for (const auto& [key, text, flag, number, reports] : cases) {
        SCOPED_TRACE(key);
        for (bool ask : { false, true }) {
            EXPECT_EQ(config::LoadIniString("S", key, file, ask), text);
            EXPECT_EQ(config::LoadIniBoolean("S", key, file, ask), flag);
            EXPECT_EQ(config::LoadIniInteger("S", key, file, ask), number);
        }
        EXPECT_EQ(installation.shown.size(), reports);
        for (const platform::MessageBoxRequest& box : installation.shown)
            EXPECT_EQ(std::tie(box.prompt, box.title, box.icon),
                std::tuple("File '" + file + "' or Section [S] or Entry '" + key + "' not found",
                    "Lobix_Config", platform::kCritical));
        installation.shown.clear();
    }
    EXPECT_EQ(config::LoadIniInteger("S", "big", file, false), 0);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string> {
            "Fehler in Lobix / Lobix_Config_Exe / LoadIniInteger (Nr. 6) :Overflow" });
}

TEST(IniAccess, WritesValuesInTheProgramsTextFormsAndRefusesOthers)
{
    TempInstallation installation;
    const std::string file = installation.Path("parameter/test.ini");
    EXPECT_EQ(config::SaveIni(std::monostate {}, "S", "k", file), 0);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt, "Ini Save:  wrong data type");
    EXPECT_FALSE(installation.Exists("parameter/test.ini"));
    // Floats with 7 significant digits, doubles with 15.
    const std::pair<config::IniValue, const char*> cases[]
        = { { short(-5), "-5" }, { 359, "359" }, { true, "true" }, { false, "false" },
              { std::string(" a  b "), " a  b " }, { 1.0 / 3, ".333333333333333" }, { 0.5, ".5" },
              { -0.25, "-.25" }, { 1e20, "1E+20" }, { 0.00001, "1E-05" }, { 1.0f / 3, ".3333333" },
              { static_cast<unsigned char>(200), "200" } };
    std::string expected = "[New]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_NE(config::SaveIni(cases[i].first, "New", "k" + std::to_string(i), file), 0);
        expected += "k" + std::to_string(i) + "=" + cases[i].second + "\r\n";
    }
    EXPECT_EQ(installation.Read("parameter/test.ini"), expected);
}
