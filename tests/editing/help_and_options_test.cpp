// The option boxes kept per machine and per project, and help mode showing help texts instead
// of acting.
#include "config/cam_settings.h"
#include "dialog/closing.h"
#include "dialog/main_window.h"
#include "editing/help_display.h"
#include "support/dialog_fixture.h"

#include <QTest>

using testing_support::DialogTest;

namespace {

struct HelpAndOptions : DialogTest {
    void SetUp() override
    {
        installation.Write("Tools/Lobix_Config.ini", "[Language]\r\nLanguage=1031\r\n[1031]\r\nHelp1=OK help\r\n"
            "Help2=Cancel help\r\nHelp12=Speed<crlf>help\r\nHelp13=Begin help\r\nHelp14=End help\r\nHelp15=Unit help\r\n");
        LayOut("ForMachine1=true\r\nForMachine2=true\r\n");
        Load();
    }

    // Clicks near the left edge, where a check box has its indicator.
    static void Click(const std::string& name)
    {
        QWidget* widget = Find(name).Widget();
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    }

    std::vector<std::string> ShownTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : installation.shown)
            texts.push_back(box.title + box.prompt);
        return texts;
    }
};

}

TEST_F(HelpAndOptions, SpeedOptionIsKeptPerMachineAndCamCountOnce)
{
    SelectTab(2);
    Click("CheckSpeedControl");
    EXPECT_TRUE(config::Model().WithoutSpeedControl[2]);
    EXPECT_FALSE(config::Model().WithoutSpeedControl[1]);
    SelectTab(1);
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
    Click("Check270Kurven");
    EXPECT_TRUE(config::Model().Cams270);
    SelectTab(2);
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 1);
    EXPECT_EQ(Find("Check270Kurven").Value(), 1);
    QTest::keyClick(Find("Check270Kurven").Widget(), Qt::Key_Space);
    EXPECT_FALSE(config::Model().Cams270);
}

TEST_F(HelpAndOptions, HelpModeShowsTextsAndChangesNothing)
{
    dialog::CommandQuest_Click();
    Click("CheckSpeedControl");
    Click("Check270Kurven");
    Click("CommandOK");
    Click("CommandCancel");
    editing::ShowHelpText(Find("TextScalaEnde", 9));
    editing::ShowHelpText(Find("TextEinheit", 1));
    EXPECT_EQ(ShownTexts(), (std::vector<std::string> { "Info:Speed\r\nhelp", "Info:", "Info:OK help", "Info:Cancel help",
                                "Info:End help", "Info:Unit help" }));
    EXPECT_EQ(Find("CheckSpeedControl").Value() + Find("Check270Kurven").Value(), 0);
    EXPECT_FALSE(config::Model().WithoutSpeedControl[1] || config::Model().Cams270);
    EXPECT_TRUE(Find("CommandOK").Enabled());
    EXPECT_FALSE(installation.Exists("Lobix/Lobix.mdb"));

    dialog::CommandQuest_Click();
    editing::ShowHelpText(Find("TextEinheit", 1));
    EXPECT_EQ(installation.shown.size(), 6u) << "no help outside help mode";
}

TEST(HelpText, LineMarkersInAnyCaseBreakLines)
{
    const std::pair<const char*, const char*> cases[] = { { "Line one<crlf>Line two", "Line one\r\nLine two" },
        { "ends<CRLF>", "ends\r\n" }, { "a<CrLf><CRLF>b", "a\r\n\r\nb" }, { "0", "0" }, { "no marker <CRL", "no marker <CRL" } };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(editing::ExpandLineMarkers(text), shown) << text;
}
