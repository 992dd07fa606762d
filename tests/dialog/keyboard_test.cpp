// The window driven by keyboard alone: where it starts, where Tab goes, what Return and Escape do,
// and the names a screen reader reads out.
#include "dialog/main_window.h"
#include "dialog/window_state.h"
#include "support/dialog_fixture.h"

#include <QApplication>
#include <QTest>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct Keyboard : DialogTest {
    void SetUp() override
    {
        LayOut("ForMachine1=true\r\nForMachine2=true\r\n", "[Machine1]\r\nCamScaleBegin1=10\r\n");
        Load();
        ShowActive();
    }

    static std::string Focused()
    {
        for (platform::Control* control : platform::Controls())
            if (control->Widget() == QApplication::focusWidget())
                return control->Name() + (control->Index() < 0 ? "" : std::to_string(control->Index()));
        return "nothing";
    }

    static void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
};

}

// Typing at once replaces the first scale begin; Tab then goes cam by cam, the options, the
// buttons and the tab strip, and round again.
TEST_F(Keyboard, StartsOnTheFirstScaleBeginAndTabsCamByCam)
{
    ASSERT_EQ(Focused(), "TextScalaAnfang1");
    EXPECT_EQ(Find("TextScalaAnfang", 1).SelectionLength(), 2);
    Press(Qt::Key_7);
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "7");

    Strings expected;
    for (int cam = 1; cam <= 40; ++cam)
        for (const char* family : { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" })
            expected.push_back(family + std::to_string(cam));
    expected.erase(expected.begin());
    for (const char* control : { "CheckSpeedControl", "Check270Kurven", "CommandQuest", "CommandOK", "CommandCancel",
             "TabStripMachine", "TextScalaAnfang1" })
        expected.push_back(control);
    Strings visited;
    for (size_t step = 0; step < expected.size(); ++step) {
        Press(Qt::Key_Tab);
        visited.push_back(Focused());
    }
    EXPECT_EQ(visited, expected);
}

// Return in a box does nothing. Escape asks the cancel question, also in help mode, but not while
// OK is at work; confirmed, it closes the window.
TEST_F(Keyboard, ReturnInABoxDoesNothingAndEscapeAsksToCancel)
{
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter);
    EXPECT_TRUE(installation.shown.empty());
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "10");

    installation.answers = { platform::kNo, platform::kNo };
    Press(Qt::Key_Escape);
    dialog::CommandQuest_Click();
    Press(Qt::Key_Escape);
    dialog::Window().OkSequenceRunning = true;
    Press(Qt::Key_Escape);
    ASSERT_EQ(installation.shown.size(), 2u);
    EXPECT_EQ(installation.shown[1].title, "Cancel?");
    EXPECT_TRUE(platform::WindowWidget()->isVisible());

    dialog::Window().OkSequenceRunning = false;
    installation.answers = { platform::kYes };
    Press(Qt::Key_Escape);
    EXPECT_FALSE(platform::WindowWidget()->isVisible());
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), Strings { "Konfigurations-EXE wurde abgebrochen:     Lobix" });
}

TEST_F(Keyboard, EveryBoxAndButtonHasAName)
{
    const struct {
        int tab;
        const char* control;
        int index;
        const char* name;
    } cases[] = { { 1, "TextScalaEnde", 7, "Filler, cam 7, scale end" }, { 1, "TextScalaAnfang", 1, "Filler, cam 1, scale begin" },
        { 2, "TextEinheit", 40, "Packer, cam 40, unit" }, { 2, "CommandQuest", -1, "Help" }, { 2, "CommandOK", -1, "OK" },
        { 2, "CommandCancel", -1, "Cancel" } };
    for (const auto& c : cases) {
        SelectTab(c.tab);
        EXPECT_EQ(Find(c.control, c.index).AccessibleName(), c.name);
    }
}
