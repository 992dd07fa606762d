// The window's texts from the language file, and the file growing into a full key list.
#include "editing/editing_state.h"
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

TEST_F(LocalisedTexts, FirstGermanStartWritesEveryKeyWithItsDesignText)
{
    Load();
    EXPECT_EQ(Entry("Language", "Language"), "1031");
    const std::pair<const char*, const char*> expected[]
        = { { "Caption_Header_", "Lobix - Konfiguration Kurven" },
              { "Caption_CheckSpeedControl_", "keine Eingabeverriegelung für Drehzahl <> 0" },
              { "Caption_Check270Kurven_", "260 Kurven (sonst 180)" }, { "Caption_CommandOK_", "" },
              { "Caption_CommandQuest_", "" }, { "Caption_LabelBeschriftung11_NoTTT", "Nr" },
              { "Caption_LabelBeschriftung32_NoTTT", "Scala Anfang" },
              { "Caption_LabelBeschriftung43_NoTTT", "Scala Ende" },
              { "Caption_LabelBeschriftung24_NoTTT", "Bereich Einheit" },
              { "Caption_LabelNr1_NoTTT", "1" }, { "Caption_LabelNr40_NoTTT", "40" },
              { "TTT_TextScalaAnfang1_", "0" }, { "TTT_TextEinheit40_", "0" },
              { "TTT_Frame3_", "0" }, { "TTT_FrameAllgemein_", "0" }, { "TTT_FrameKurve_", "0" },
              { "TTT_Header_", "0" }, { "TTT_CommandQuest_", "0" }, { "TTT_Check270Kurven_", "0" },
              { "Help1", "0" }, { "Help2", "0" }, { "Help12", "0" }, { "Help13", "0" },
              { "Help14", "0" }, { "Help15", "0" }, { "TTT_LabelNr1_NoTTT", "<missing>" },
              { "TTT_MainFrame_NoTTT", "<missing>" }, { "TTT_TabStripMachine_NoTTT", "<missing>" },
              { "Caption_TextScalaAnfang1_", "<missing>" }, { "Help0", "<missing>" } };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(Entry("1031", key), value) << key;
    EXPECT_EQ(Find("Header").ToolTip(), "");
    EXPECT_EQ(editing::State().HelpTexts[12], "");
}

TEST_F(LocalisedTexts, AnotherLanguageGetsPlaceholdersAndKeepsTheDesign)
{
    installation.Write("Tools/Lobix_Config.ini", "[Language]\r\nLanguage=1033\r\n");
    Load();
    for (const char* key :
        { "Caption_Header_", "Caption_LabelNr7_NoTTT", "TTT_TextScalaEnde7_", "Help13" })
        EXPECT_EQ(Entry("1033", key), "0") << key;
    EXPECT_EQ(Find("Header").Caption(), "Lobix - Konfiguration Kurven");
    EXPECT_EQ(Entry("1031", "Caption_Header_"), "<missing>");
}

TEST_F(LocalisedTexts, TranslationsAreAppliedAndGermanZerosReplaced)
{
    installation.Write("Tools/Lobix_Config.ini",
        "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Header_=0\r\n"
        "Caption_Check270Kurven_=260 Kurven f\xFCr alle\r\nTTT_CommandOK_=Apply<CRLF>and "
        "end\r\nHelp12=Speed help\r\n"
        "TTT_TextScalaEnde7_=End of cam 7\r\n");
    Load();
    EXPECT_EQ(Entry("1031", "Caption_Header_"), "Lobix - Konfiguration Kurven");
    EXPECT_EQ(Find("Check270Kurven").Caption(), "260 Kurven für alle")
        << "read in the Windows code page";
    EXPECT_EQ(Find("CommandOK").ToolTip(), "Apply<CRLF>and end");
    EXPECT_EQ(Find("TextScalaEnde", 7).ToolTip(), "End of cam 7");
    EXPECT_EQ(editing::State().HelpTexts[12], "Speed help");
    EXPECT_EQ(Entry("1031", "Help12"), "Speed help");
}
