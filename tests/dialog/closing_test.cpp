// Leaving the dialog: OK saves and ends, Cancel and the close box (Escape) ask before discarding.
#include "dialog/main_window.h"
#include "dialog/window_state.h"
#include "support/dialog_fixture.h"

#include <QWidget>

using namespace testing_support;

namespace {

struct Closing : DialogTest {
    void SetUp() override
    {
        Load();
        Find("TextScalaEnde", 7).SetText("250");
    }
};

}

TEST_F(Closing, OkSavesTheEditsAndEnds)
{
    EXPECT_EQ(EndStatus([] { Find("CommandOK").onClick(); }), 0);
    EXPECT_EQ(installation.Entry("parameter/Program.ini", "Machine1", "CamScaleEnd7"), "250");
    EXPECT_FALSE(Find("CommandOK").Enabled() || Find("CommandCancel").Enabled());
    EXPECT_TRUE(installation.shown.empty());
}

// Cancel and Escape ask, Escape also in help mode; nothing asks while OK works.
TEST_F(Closing, CancelAndEscapeAskAndDiscardOnlyOnYes)
{
    ShowActive();
    std::string programIni = installation.Read("parameter/Program.ini");
    installation.answers
        = { platform::kNo, platform::kNo, platform::kNo, platform::kYes, platform::kYes };
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), -1);
    Press(Qt::Key_Escape);
    dialog::CommandQuest_Click();
    Press(Qt::Key_Escape);
    dialog::Window().OkSequenceRunning = true;
    Press(Qt::Key_Escape);
    Find("CommandOK").SetEnabled(false);
    dialog::Form_Activate();
    EXPECT_FALSE(Find("CommandOK").Enabled()) << "no second OK while the first works";
    EXPECT_EQ(installation.shown.size(), 3u);
    EXPECT_TRUE(platform::WindowWidget()->isVisible());
    EXPECT_EQ(Find("TextScalaEnde", 7).Text(), "250");
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt"));

    dialog::Window().OkSequenceRunning = false;
    dialog::CommandQuest_Click();
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), 0);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(platform::WindowWidget()->isVisible());
    ASSERT_EQ(installation.shown.size(), 5u);
    for (const platform::MessageBoxRequest& box : installation.shown)
        EXPECT_EQ(box.title + box.prompt,
            "Cancel?Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
    EXPECT_EQ(installation.shown[0].defaultButton, platform::kNo);
    EXPECT_EQ(installation.shown[0].icon, platform::kExclamation);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string>(2, "Konfigurations-EXE wurde abgebrochen:     Lobix"));
    EXPECT_EQ(installation.Read("parameter/Program.ini"), programIni);
}
