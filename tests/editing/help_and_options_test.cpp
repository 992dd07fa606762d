// The option boxes kept per machine and per project, and help mode showing help texts instead
// of acting.
#include "config/cam_settings.h"
#include "dialog/main_window.h"
#include "editing/help_display.h"
#include "support/dialog_fixture.h"

#include <QTest>

using testing_support::DialogTest;

namespace {

struct HelpAndOptions : DialogTest {
    void SetUp() override
    {
        installation.Write("Tools/Lobix_Config.ini",
            "[Language]\r\nLanguage=1031\r\n[1031]\r\nHelp1=OK help\r\nHelp2=Cancel help\r\n"
            "Help12=Speed<crlf>help\r\nHelp13=Begin help\r\nHelp14=End help\r\nHelp15=Unit "
            "help\r\n");
        Load();
    }
};

}

// Packer has the speed option stored, the project the 270 cams: a click clears what is ticked.
TEST_F(HelpAndOptions, SpeedOptionIsKeptPerMachineAndCamCountOnce)
{
    const config::CamModel& model = config::Model();
    SelectTab(2);
    Click("CheckSpeedControl");
    SelectTab(1);
    Click("CheckSpeedControl");
    EXPECT_TRUE(model.WithoutSpeedControl[1]);
    EXPECT_FALSE(model.WithoutSpeedControl[2]);
    Click("Check270Kurven");
    EXPECT_FALSE(model.Cams270);
    SelectTab(2);
    EXPECT_EQ(Find("CheckSpeedControl").Value() + Find("Check270Kurven").Value(), 0);
    QTest::keyClick(Find("Check270Kurven").Widget(), Qt::Key_Space);
    EXPECT_TRUE(model.Cams270);
}

TEST_F(HelpAndOptions, HelpModeShowsTextsAndChangesNothing)
{
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
        (std::vector<std::string> { "Info:Speed\r\nhelp", "Info:", "Info:OK help",
            "Info:Cancel help", "Info:End help", "Info:Unit help" }));
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
    EXPECT_EQ(Find("Check270Kurven").Value(), 1);
    EXPECT_FALSE(config::Model().WithoutSpeedControl[1]);
    EXPECT_TRUE(config::Model().Cams270);
    EXPECT_TRUE(Find("CommandOK").Enabled());
    EXPECT_FALSE(installation.Exists("Lobix/Lobix.mdb"));

    dialog::CommandQuest_Click();
    editing::ShowHelpText(Find("TextEinheit", 1));
    EXPECT_EQ(installation.shown.size(), 6u) << "no help outside help mode";
}

TEST(HelpText, LineMarkersInAnyCaseBreakLines)
{
    const std::pair<const char*, const char*> cases[]
        = { { "Line one<crlf>Line two", "Line one\r\nLine two" }, { "ends<CRLF>", "ends\r\n" },
              { "a<CrLf><CRLF>b", "a\r\n\r\nb" }, { "0", "0" },
              { "no marker <CRL", "no marker <CRL" } };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(editing::ExpandLineMarkers(text), shown) << text;
}
