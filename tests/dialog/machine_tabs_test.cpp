// The window after start-up: one tab per edited machine, its values in the fields, switching
// between machines, and help mode holding the machine still.
#include "config/cam_settings.h"
#include "config/cam_settings.h"
#include "dialog/machine_tabs.h"
#include "dialog/main_window.h"
#include "platform/window/toolkit.h"
#include "support/dialog_fixture.h"

#include <cstring>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

const char* kStored = "[Machine2]\r\nCamScaleBegin7=5\r\nCamScaleEnd7=300\r\nCamUnit7=-1\r\n"
                      "CamWithoutSpeedControl=true\r\n[Machine1]\r\nCamNr270=TRUE\r\n";

struct StoredValues : DialogTest {
    void SetUp() override
    {
        LayOut("ForMachine1=true\r\nForMachine2=true\r\n", kStored);
        Load();
    }
};

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
        LayOut(c.cfg);
        installation.Write("parameter/tvxconfiguration.ini",
            "[Common]\r\nSaveAndRestore=" + installation.Path("save")
                + "\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=Labeller\r\nNameM4=-\r\n");
        installation.Write("save/parameter/program.ini", kStored);
        Load(c.arguments);
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
    installation.Write("Lobix/Lobix.cfg",
        "[Project]\r\nForMachine5=true\r\nForMachine6=true\r\nForMachine7=true\r\n");
    Load();
    EXPECT_EQ(TabCaptions(), (Strings { "" }));
    EXPECT_EQ(config::Model().TabMachine[1], 5);
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(StoredValues, LoadsStoredValuesAndDefaults)
{
    const config::CamModel& model = config::Model();
    EXPECT_EQ(model.ScaleBegin[2][7], 5);
    EXPECT_EQ(model.ScaleEnd[2][7], 300);
    EXPECT_EQ(model.ScaleUnit[2][7], 1);
    EXPECT_EQ(model.ScaleEnd[1][7], 359);
    EXPECT_TRUE(model.WithoutSpeedControl[2]);
    EXPECT_TRUE(model.Cams270);
    EXPECT_EQ(Find("Check270Kurven").Value(), 1);
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "0");
    EXPECT_EQ(Find("TextScalaEnde", 1).Text(), "359");
    EXPECT_EQ(Find("TextEinheit", 1).Text(), "1");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
}

TEST_F(StoredValues, EditsGoToTheShownMachineAndSwitchingTabsChangesNothing)
{
    Find("TextScalaEnde", 3).SetText("200");
    EXPECT_EQ(config::Model().ScaleEnd[1][3], 200);
    EXPECT_EQ(config::Model().ScaleEnd[2][3], 359);
    const config::CamModel before = config::Model();
    SelectTab(2);
    EXPECT_EQ(config::Model().CurrentMachine, 2);
    EXPECT_EQ(Find("TextScalaEnde", 7).Text(), "300");
    EXPECT_EQ(Find("TextScalaEnde", 3).Text(), "359");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 1);
    SelectTab(1);
    EXPECT_EQ(Find("TextScalaEnde", 3).Text(), "200");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
    for (const config::CamArray& array : config::kCamArrays)
        EXPECT_EQ(std::memcmp(before.*array.values, config::Model().*array.values,
                      sizeof(before.*array.values)),
            0)
            << array.iniKey;
    EXPECT_EQ(std::memcmp(before.WithoutSpeedControl, config::Model().WithoutSpeedControl,
                  sizeof(before.WithoutSpeedControl)),
        0);
}

TEST_F(StoredValues, HelpModeHoldsTheMachine)
{
    platform::Control& help = Find("CommandQuest");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kGreen);
    EXPECT_FALSE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(config::Model().CurrentMachine, 1);
    EXPECT_EQ(Find("TextScalaEnde", 7).Text(), "359");

    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kButtonFaceColor);
    EXPECT_TRUE(Find("TabStripMachine").Enabled());
    dialog::TabStripMachine_Click();
    EXPECT_EQ(Find("TextScalaEnde", 7).Text(), "300");
}
