// The window driven by keyboard alone: where Tab goes, what Return does, and the names a screen
// reader reads out.
#include "support/dialog_fixture.h"

#include <QApplication>

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
// buttons and the tab strip, and round again.
TEST_F(Keyboard, TabsCamByCam)
{
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

TEST_F(Keyboard, ReturnInABoxDoesNothing)
{
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter);
    EXPECT_TRUE(installation.shown.empty());
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "-32768");
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
