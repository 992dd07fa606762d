// Leaving the dialog: OK saves and ends, Cancel and the close box ask before discarding.
#include "dialog/closing.h"
#include "dialog/main_window.h"
#include "dialog/window_state.h"
#include "support/dialog_fixture.h"

using namespace testing_support;

namespace {

struct Closing : DialogTest {
    void SetUp() override
    {
        LayOut("ForMachine2=true\r\n", "[Machine2]\r\nCamScaleEnd7=300\r\n");
        Load();
        Find("TextScalaEnde", 7).SetText("250");
    }
    static bool CloseBoxCancels()
    {
        bool cancel = false;
        dialog::Form_QueryUnload(cancel);
        return cancel;
    }
};

}

TEST_F(Closing, OkSavesTheEditsAndEnds)
{
    EXPECT_EQ(EndStatus([] { Find("CommandOK").onClick(); }), 0);
    EXPECT_NE(installation.Read("parameter/Program.ini")
                  .find("[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=250\r\nCamScaleBegin1=0\r\n"),
        std::string::npos);
    EXPECT_EQ(installation.Entry("Lobix/Lobix.cfg", "Info", "S_Prog"), "1.0.0 - Standalone");
    EXPECT_FALSE(Find("CommandOK").Enabled() || Find("CommandCancel").Enabled());
    EXPECT_TRUE(installation.shown.empty());
}

// Cancel and the close box ask, the close box also in help mode; nothing asks while OK works.
TEST_F(Closing, CancelAndCloseBoxAskAndDiscardOnlyOnYes)
{
    std::string programIni = installation.Read("parameter/Program.ini");
    installation.answers = { platform::kNo, platform::kNo, platform::kNo, platform::kYes, platform::kYes };
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), -1);
    EXPECT_TRUE(CloseBoxCancels());
    dialog::CommandQuest_Click();
    EXPECT_TRUE(CloseBoxCancels());
    dialog::Window().OkSequenceRunning = true;
    EXPECT_TRUE(CloseBoxCancels());
    Find("CommandOK").SetEnabled(false);
    dialog::Form_Activate();
    EXPECT_FALSE(Find("CommandOK").Enabled()) << "no second OK while the first works";
    EXPECT_EQ(installation.shown.size(), 3u);
    EXPECT_EQ(Find("TextScalaEnde", 7).Text(), "250");
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt"));

    dialog::Window().OkSequenceRunning = false;
    dialog::CommandQuest_Click();
    EXPECT_FALSE(CloseBoxCancels());
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), 0);
    ASSERT_EQ(installation.shown.size(), 5u);
    EXPECT_EQ(installation.shown[0].prompt, "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
    EXPECT_EQ(installation.shown[0].title, "Cancel?");
    EXPECT_EQ(installation.shown[0].defaultButton, platform::kNo);
    EXPECT_EQ(installation.shown[0].icon, platform::kExclamation);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string>(2, "Konfigurations-EXE wurde abgebrochen:     Lobix"));
    EXPECT_EQ(installation.Read("parameter/Program.ini"), programIni);
}
