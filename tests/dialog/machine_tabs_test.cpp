// The window after start-up: one tab per edited machine, its values, options and names in the
// fields, switching between machines, and help mode holding the machine still.
#include "config/cam_settings.h"
#include "support/dialog_fixture.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

std::string Shown(const char* box, int cam) { return DialogTest::Find(box, cam).Text(); }

}

TEST_F(DialogTest, TabsShowTheMachinesMarkedForEditingOrValidForTheHost)
{
    struct Case {
        const char* arguments;
        const char* cfg;
        Strings tabs;
        std::vector<short> machines;
        const char* programIni = nullptr; // instead of the three machines
    } cases[] = {
        { "", "ForMachine2=true\r\nForMachine3=True\r\n", { "Packer", "Labeller" }, { 2, 3 } },
        // Machines beyond the fifth are left alone.
        { "", "ForMachine5=true\r\nForMachine6=true\r\nForMachine7=true\r\n", { "" }, { 5 },
            "[Project]\r\nNumberOfMachines=7\r\n[Machine7]\r\nCamScaleEnd1=5\r\n" },
        { "/EXTERNAL=TVXCFG", "ValidMachines=all\r\n", { "Filler", "Packer", "Labeller" },
            { 1, 2, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=Labeller2,FILLER\r\n", { "Filler", "Labeller" },
            { 1, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=\r\n", {}, {} },
    };
    for (const Case& c : cases) {
        ResetModules();
        if (c.programIni)
            installation.Write("parameter/Program.ini", c.programIni);
        installation.Write("parameter/tvxconfiguration.ini",
            "[Common]\r\nSaveAndRestore=" + installation.Path("save")
                + "\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=Labeller\r\nNameM4=-\r\n");
        installation.Write("save/parameter/program.ini", kThreeMachines);
        Load(c.cfg, c.arguments);
        const config::CamModel& model = config::Model();
        platform::Control& tabs = Find("TabStripMachine");
        Strings captions;
        for (int tab = 1; tab <= tabs.TabCount(); ++tab)
            captions.push_back(tabs.TabCaption(tab));
        EXPECT_EQ(captions, c.tabs) << c.cfg;
        EXPECT_EQ(
            std::vector<short>(model.TabMachine + 1, model.TabMachine + 1 + c.machines.size()),
            c.machines);
        EXPECT_EQ(platform::WindowCaption(),
            *c.arguments ? "Erweiterte Konfiguration Tools - integriert"
                         : "Erweiterte Konfiguration Tools - standalone");
    }
    EXPECT_FALSE(Find("TextScalaEnde", 7).Enabled()) << "no machine, no fields";
    EXPECT_TRUE(installation.shown.empty());
}

// Stored values and defaults are shown per machine; edits go to the shown machine, switching tabs
// changes nothing, and in help mode the tabs do not switch. Packer has the speed option stored, the
// project the 270 cams: a click clears what is ticked.
TEST_F(DialogTest, EachTabShowsItsMachineAndEditsGoToTheShownOne)
{
    Load();
    const config::CamModel& model = config::Model();
    Find("TextScalaEnde", 3).SetText("200");
    SelectTab(2);
    EXPECT_EQ(model.CurrentMachine, 2);
    EXPECT_EQ(Shown("TextScalaAnfang", 7) + " " + Shown("TextScalaEnde", 7) + " "
            + Shown("TextEinheit", 7) + " " + Shown("TextScalaEnde", 3),
        "5 300 1 359");
    SelectTab(1);
    EXPECT_EQ(Shown("TextScalaEnde", 7) + " " + Shown("TextScalaEnde", 3), "359 200");

    platform::Control& help = Find("CommandQuest");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kGreen);
    EXPECT_FALSE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(model.CurrentMachine, 1);
    EXPECT_EQ(Shown("TextScalaEnde", 7), "359");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kButtonFaceColor);
    EXPECT_TRUE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(Shown("TextScalaEnde", 7), "300");

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

// Ctrl+Tab and Ctrl+Page Down go to the next machine, round the tabs, Ctrl+Shift+Tab and
// Ctrl+Page Up to the one before, from wherever the focus is, as a click on the tab does; the
// first scale begin then has the focus with its text selected. In help mode they do nothing.
TEST_F(DialogTest, TabKeysSwitchMachinesAsAClickOnTheTabDoes)
{
    Load("ForMachine1=true\r\nForMachine2=true\r\nForMachine3=true\r\n");
    ShowActive();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* from;
        int index;
        short machine;
    } presses[] = { { Qt::Key_Tab, Qt::ControlModifier, "TextScalaEnde", 7, 2 },
        { Qt::Key_PageDown, Qt::ControlModifier, "CheckSpeedControl", -1, 3 },
        { Qt::Key_Tab, Qt::ControlModifier, "TabStripMachine", -1, 1 },
        { Qt::Key_PageUp, Qt::ControlModifier, "TextScalaAnfang", 1, 3 },
        { Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, "TextEinheit", 40, 2 },
        { Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, "Check270Kurven", -1, 1 } };
    const char* names[] = { "", "Filler", "Packer", "Labeller" };
    platform::Control& first = Find("TextScalaAnfang", 1);
    for (const auto& press : presses) {
        Find(press.from, press.index).Widget()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
        EXPECT_EQ(
            first.AccessibleName(), names[press.machine] + std::string(", cam 1, scale begin"));
        EXPECT_TRUE(first.Widget()->hasFocus()) << names[press.machine];
        EXPECT_EQ(first.SelectionLength(), int(first.Text().size())) << names[press.machine];
    }
    dialog::CommandQuest_Click();
    for (Qt::Key key : { Qt::Key_Tab, Qt::Key_PageDown })
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
    EXPECT_EQ(config::Model().CurrentMachine, 1);
    EXPECT_EQ(Find("TabStripMachine").SelectedTab(), 1);
}
