// The window's texts from the language file, the file growing into a full key list, and help
// mode showing the help texts instead of acting.
#include "config/cam_settings.h"
#include "editing/editing_state.h"
#include "editing/help_display.h"
#include "support/dialog_fixture.h"

using testing_support::DialogTest;

namespace {

struct LocalisedTexts : DialogTest {
    std::string Entry(const std::string& section, const std::string& key) const
    {
        return installation.Entry("Tools/Lobix_Config.ini", section, key);
    }
};

}

TEST_F(LocalisedTexts, FirstStartWritesEveryKeyWithItsDesignTextInGermanElseZero)
{
    Load();
    EXPECT_EQ(Entry("Language", "Language"), "1031");
    const char* const expected[][2] = { { "Caption_Header_", "Lobix - Konfiguration Kurven" },
        { "Caption_CheckSpeedControl_", "keine Eingabeverriegelung für Drehzahl <> 0" },
        { "Caption_Check270Kurven_", "260 Kurven (sonst 180)" }, { "Caption_CommandOK_", "" },
        { "Caption_CommandQuest_", "" }, { "Caption_LabelBeschriftung11_NoTTT", "Nr" },
        { "Caption_LabelBeschriftung32_NoTTT", "Scala Anfang" },
        { "Caption_LabelBeschriftung43_NoTTT", "Scala Ende" },
        { "Caption_LabelBeschriftung24_NoTTT", "Bereich Einheit" },
        { "Caption_LabelNr1_NoTTT", "1" }, { "Caption_LabelNr40_NoTTT", "40" },
        { "TTT_TextScalaAnfang1_", "0" }, { "TTT_TextEinheit40_", "0" }, { "TTT_Frame3_", "0" },
        { "TTT_FrameKurve_", "0" }, { "TTT_Header_", "0" }, { "TTT_CommandQuest_", "0" },
        { "TTT_Check270Kurven_", "0" }, { "Help1", "0" }, { "Help2", "0" }, { "Help12", "0" },
        { "Help13", "0" }, { "Help14", "0" }, { "Help15", "0" },
        { "TTT_LabelNr1_NoTTT", "<missing>" }, { "TTT_MainFrame_NoTTT", "<missing>" },
        { "TTT_TabStripMachine_NoTTT", "<missing>" }, { "Caption_TextScalaAnfang1_", "<missing>" },
        { "Help0", "<missing>" } };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(Entry("1031", key), value) << key;
    EXPECT_EQ(Find("Header").ToolTip(), "");
    EXPECT_EQ(editing::State().HelpTexts[12], "");

    // Another language gets placeholders and keeps the design.
    testing_support::ResetModules();
    installation.Write("Tools/Lobix_Config.ini", "[Language]\r\nLanguage=1033\r\n");
    Load();
    for (const char* key :
        { "Caption_Header_", "Caption_LabelNr7_NoTTT", "TTT_TextScalaEnde7_", "Help13" })
        EXPECT_EQ(Entry("1033", key), "0") << key;
    EXPECT_EQ(Find("Header").Caption(), "Lobix - Konfiguration Kurven");
    EXPECT_EQ(Entry("1031", "Caption_Header_"), "<missing>");
}

// Translations are applied; in help mode a click shows the help text, every line marker in any
// letter case breaking the line, and changes nothing.
TEST_F(LocalisedTexts, TranslationsAreAppliedAndHelpModeShowsTheHelpTexts)
{
    installation.Write("Tools/Lobix_Config.ini",
        "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Header_=0\r\n"
        "Caption_Check270Kurven_=260 Kurven f\xFCr alle\r\nTTT_CommandOK_=Apply<CRLF>and end\r\n"
        "TTT_TextScalaEnde7_=End of cam 7\r\nHelp1=OK help <CRL\r\nHelp2=Cancel help\r\n"
        "Help12=Speed<crlf>help<CrLf><CRLF>\r\nHelp14=End help\r\nHelp15=Unit help\r\n");
    Load();
    EXPECT_EQ(Entry("1031", "Caption_Header_"), "Lobix - Konfiguration Kurven");
    EXPECT_EQ(Entry("1031", "Help12"), "Speed<crlf>help<CrLf><CRLF>");
    EXPECT_EQ(Find("Check270Kurven").Caption(), "260 Kurven für alle")
        << "read in the Windows code page";
    EXPECT_EQ(Find("CommandOK").ToolTip(), "Apply<CRLF>and end");
    EXPECT_EQ(Find("TextScalaEnde", 7).ToolTip(), "End of cam 7");

    dialog::CommandQuest_Click();
    for (const char* control :
        { "CheckSpeedControl", "Check270Kurven", "CommandOK", "CommandCancel" })
        Click(control);
    editing::ShowHelpText(Find("TextScalaEnde", 9));
    editing::ShowHelpText(Find("TextEinheit", 1));
    std::vector<std::string> shown;
    for (const auto& box : installation.shown)
        shown.push_back(box.title + box.prompt);
    EXPECT_EQ(shown,
        (std::vector<std::string> { "Info:Speed\r\nhelp\r\n\r\n", "Info:", "Info:OK help <CRL",
            "Info:Cancel help", "Info:End help", "Info:Unit help" }));
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
    EXPECT_EQ(Find("Check270Kurven").Value(), 1);
    EXPECT_FALSE(config::Model().WithoutSpeedControl[1]);
    EXPECT_TRUE(config::Model().Cams270);
    EXPECT_TRUE(Find("CommandOK").Enabled());

    dialog::CommandQuest_Click();
    editing::ShowHelpText(Find("TextEinheit", 1));
    EXPECT_EQ(installation.shown.size(), 6u) << "no help outside help mode";
}
