// The window after start-up: one tab per edited machine, its values in the fields, switching
// between machines, and help mode holding the machine still.
#include "config/cam_settings.h"
#include "dialog/machine_tabs.h"
#include "dialog/main_window.h"
#include "support/dialog_fixture.h"

#include <cstring>

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
    } cases[] = {
        { "", "ForMachine2=true\r\nForMachine3=True\r\n", { "Packer", "Labeller" }, { 2, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=all\r\n", { "Filler", "Packer", "Labeller" },
            { 1, 2, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=Packer\r\n", { "Packer" }, { 2 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=Labeller2,FILLER\r\n", { "Filler", "Labeller" },
            { 1, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=\r\n", {}, {} },
    };
    for (const Case& c : cases) {
        ResetModules();
        installation.Write("parameter/tvxconfiguration.ini",
            "[Common]\r\nSaveAndRestore=" + installation.Path("save")
                + "\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=Labeller\r\nNameM4=-\r\n");
        installation.Write("save/parameter/program.ini", kThreeMachines);
        Load(c.cfg, c.arguments);
        const config::CamModel& model = config::Model();
        EXPECT_EQ(TabCaptions(), c.tabs) << c.cfg;
        EXPECT_EQ(
            std::vector<short>(model.TabMachine + 1, model.TabMachine + 1 + c.machines.size()),
            c.machines);
        EXPECT_EQ(model.CurrentMachine, c.machines.empty() ? 0 : c.machines[0]) << c.cfg;
        EXPECT_EQ(platform::WindowCaption(),
            *c.arguments ? "Erweiterte Konfiguration Tools - integriert"
                         : "Erweiterte Konfiguration Tools - standalone");
    }
    EXPECT_FALSE(Find("TextScalaEnde", 7).Enabled()) << "no machine, no fields";
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(DialogTest, MachinesBeyondTheFifthAreLeftAlone)
{
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=7\r\n[Machine7]\r\nCamScaleEnd1=5\r\n");
    Load("ForMachine5=true\r\nForMachine6=true\r\nForMachine7=true\r\n");
    EXPECT_EQ(TabCaptions(), (Strings { "" }));
    EXPECT_EQ(config::Model().TabMachine[1], 5);
    EXPECT_TRUE(installation.shown.empty());
}

// Stored values and defaults are shown per machine; edits go to the shown machine, and switching
// tabs changes nothing.
TEST_F(DialogTest, EachTabShowsItsMachineAndEditsGoToTheShownOne)
{
    Load();
    const config::CamModel& model = config::Model();
    Find("TextScalaEnde", 3).SetText("200");
    const config::CamModel before = model;
    SelectTab(2);
    EXPECT_EQ(model.CurrentMachine, 2);
    EXPECT_EQ(Shown("TextScalaAnfang", 7) + " " + Shown("TextScalaEnde", 7) + " "
            + Shown("TextEinheit", 7) + " " + Shown("TextScalaEnde", 3),
        "5 300 1 359");
    SelectTab(1);
    EXPECT_EQ(Shown("TextScalaEnde", 7) + " " + Shown("TextScalaEnde", 3), "359 200");
    for (const config::CamArray& array : config::kCamArrays)
        EXPECT_EQ(
            std::memcmp(before.*array.values, model.*array.values, sizeof(before.*array.values)), 0)
            << array.iniKey;
    EXPECT_EQ(std::memcmp(before.WithoutSpeedControl, model.WithoutSpeedControl,
                  sizeof(before.WithoutSpeedControl)),
        0);
}

TEST_F(DialogTest, HelpModeHoldsTheMachine)
{
    Load();
    platform::Control& help = Find("CommandQuest");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kGreen);
    EXPECT_FALSE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(config::Model().CurrentMachine, 1);
    EXPECT_EQ(Shown("TextScalaEnde", 7), "359");

    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kButtonFaceColor);
    EXPECT_TRUE(Find("TabStripMachine").Enabled());
    dialog::TabStripMachine_Click();
    EXPECT_EQ(Shown("TextScalaEnde", 7), "300");
}
