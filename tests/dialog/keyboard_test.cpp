// The shown window driven as a user drives it: where Tab goes, what Return does, the names a
// screen reader reads out, and the ways out: OK saves and ends, Cancel and the close box (Escape)
// ask before discarding.
#include "dialog/window_state.h"
#include "support/dialog_fixture.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct Keyboard : DialogTest {
    void SetUp() override
    {
        Load();
        ShowActive();
    }

    static std::string Focused()
    {
        for (platform::Control* control : platform::Controls())
            if (control->Widget() == QApplication::focusWidget())
                return control->Name()
                    + (control->Index() < 0 ? "" : std::to_string(control->Index()));
        return "nothing";
    }
};

}

// From the first scale begin, where the window starts, Tab goes cam by cam, the options, the
// buttons and the tab strip, and round again. Return in a box does nothing.
TEST_F(Keyboard, TabsCamByCamAndReturnInABoxDoesNothing)
{
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter);
    EXPECT_TRUE(installation.shown.empty());
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "-32768");

    Strings expected;
    for (int cam = 1; cam <= 40; ++cam)
        for (const char* family : { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" })
            expected.push_back(family + std::to_string(cam));
    expected.erase(expected.begin());
    for (const char* control : { "CheckSpeedControl", "Check270Kurven", "CommandQuest", "CommandOK",
             "CommandCancel", "TabStripMachine", "TextScalaAnfang1" })
        expected.push_back(control);
    Strings visited;
    for (size_t step = 0; step < expected.size(); ++step) {
        Press(Qt::Key_Tab);
        visited.push_back(Focused());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(Keyboard, EveryBoxAndButtonHasAName)
{
    const struct {
        int tab;
        const char* control;
        int index;
        const char* name;
    } cases[] = { { 1, "TextScalaEnde", 7, "Filler, cam 7, scale end" },
        { 1, "TextScalaAnfang", 1, "Filler, cam 1, scale begin" },
        { 2, "TextEinheit", 40, "Packer, cam 40, unit" }, { 2, "CommandQuest", -1, "Help" },
        { 2, "CommandOK", -1, "OK" }, { 2, "CommandCancel", -1, "Cancel" } };
    for (const auto& c : cases) {
        SelectTab(c.tab);
        EXPECT_EQ(Find(c.control, c.index).AccessibleName(), c.name);
    }
}

TEST_F(Keyboard, OkSavesTheEditsAndEnds)
{
    Find("TextScalaEnde", 7).SetText("250");
    EXPECT_EQ(EndStatus([] { Find("CommandOK").onClick(); }), 0);
    EXPECT_EQ(installation.Entry("parameter/Program.ini", "Machine1", "CamScaleEnd7"), "250");
    EXPECT_FALSE(Find("CommandOK").Enabled() || Find("CommandCancel").Enabled());
    EXPECT_TRUE(installation.shown.empty());
}

// Cancel and Escape ask, Escape also in help mode; nothing asks while OK works.
TEST_F(Keyboard, CancelAndEscapeAskAndDiscardOnlyOnYes)
{
    Find("TextScalaEnde", 7).SetText("250");
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
