// The window after start-up: one tab per edited machine, its values in the fields, switching
// between machines, and help mode holding the machine still.
#include "dialog/cam_model.h"
#include "dialog/main_window.h"
#include "support/dialog_fixture.h"
#include "support/reset.h"

using testing_support::DialogTest;
using Captions = std::vector<std::string>;

namespace {

const char* kStored = "[Machine2]\r\nCamScaleBegin7=5\r\nCamScaleEnd7=300\r\nCamUnit7=-1\r\n"
                      "CamWithoutSpeedControl=true\r\n[Machine1]\r\nCamNr270=TRUE\r\n";

}

TEST_F(DialogTest, StandaloneShowsTheMachinesMarkedForEditing)
{
    LayOut("ForMachine2=true\r\nForMachine3=True\r\n");
    Load();
    EXPECT_EQ(TabCaptions(), (Captions { "Packer", "Labeller" }));
    EXPECT_EQ(dialog::Model().TabMachine[1], 2);
    EXPECT_EQ(dialog::Model().TabMachine[2], 3);
    EXPECT_EQ(dialog::Model().CurrentMachine, 2);
    EXPECT_EQ(platform::WindowCaption(), "Erweiterte Konfiguration Tools - standalone");
    EXPECT_TRUE(Find("CommandOK").Enabled());
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(DialogTest, IntegratedShowsTheValidMachines)
{
    struct Case {
        const char* valid;
        Captions tabs;
    } cases[] = {
        { "all", { "Filler", "Packer", "Labeller" } },
        { "Packer", { "Packer" } },
        { "Labeller2,FILLER", { "Filler", "Labeller" } },
        { "", {} },
    };
    for (const Case& c : cases) {
        testing_support::ResetModules();
        installation.Write("parameter/tvxconfiguration.ini", "[Common]\r\nSaveAndRestore=" + installation.Path("save")
                + "\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=Labeller\r\nNameM4=-\r\n");
        installation.Write("save/parameter/program.ini", kStored);
        installation.Write("Lobix/Lobix.cfg", std::string("[Project]\r\nValidMachines=") + c.valid + "\r\n");
        Load("/EXTERNAL=TVXCFG");
        EXPECT_EQ(TabCaptions(), c.tabs) << c.valid;
        EXPECT_EQ(platform::WindowCaption(), "Erweiterte Konfiguration Tools - integriert");
    }
    EXPECT_EQ(dialog::Model().CurrentMachine, 0);
    EXPECT_FALSE(Find("TextScalaEnde", 7).Enabled()) << "no machine, no fields";
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(DialogTest, LoadsStoredValuesAndDefaults)
{
    LayOut("ForMachine1=true\r\nForMachine2=true\r\n", kStored);
    Load();
    const dialog::CamModel& model = dialog::Model();
    EXPECT_EQ(model.ScaleBegin[2][7], 5);
    EXPECT_EQ(model.ScaleEnd[2][7], 300);
    EXPECT_EQ(model.ScaleUnit[2][7], 1);
    EXPECT_EQ(model.ScaleEnd[1][7], 359);
    EXPECT_TRUE(model.WithoutSpeedControl[2]);
    EXPECT_TRUE(model.Cams270);
    EXPECT_EQ(Find("Check270Kurven").Value(), 1);
    EXPECT_EQ(FieldText("TextScalaAnfang", 1), "0");
    EXPECT_EQ(FieldText("TextScalaEnde", 1), "359");
    EXPECT_EQ(FieldText("TextEinheit", 1), "1");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
}

TEST_F(DialogTest, SwitchingTabsShowsTheOtherMachineAndChangesNothing)
{
    LayOut("ForMachine1=true\r\nForMachine2=true\r\n", kStored);
    Load();
    Find("TextScalaEnde", 3).SetText("200");
    EXPECT_EQ(dialog::Model().ScaleEnd[1][3], 200);
    EXPECT_EQ(dialog::Model().ScaleEnd[2][3], 359);

    platform::Control& tabs = Find("TabStripMachine");
    tabs.SelectTab(2);
    dialog::TabStripMachine_Click();
    EXPECT_EQ(dialog::Model().CurrentMachine, 2);
    EXPECT_EQ(FieldText("TextScalaEnde", 7), "300");
    EXPECT_EQ(FieldText("TextScalaEnde", 3), "359");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 1);

    tabs.SelectTab(1);
    dialog::TabStripMachine_Click();
    EXPECT_EQ(FieldText("TextScalaEnde", 3), "200");
    EXPECT_EQ(Find("CheckSpeedControl").Value(), 0);
    EXPECT_EQ(dialog::Model().ScaleEnd[2][7], 300);
    EXPECT_EQ(dialog::Model().ScaleBegin[2][7], 5);
    EXPECT_FALSE(dialog::Model().WithoutSpeedControl[1]);
}

TEST_F(DialogTest, HelpModeHoldsTheMachine)
{
    LayOut("ForMachine1=true\r\nForMachine2=true\r\n", kStored);
    Load();
    platform::Control& help = Find("CommandQuest");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kGreen);
    EXPECT_FALSE(Find("TabStripMachine").Enabled());
    Find("TabStripMachine").SelectTab(2);
    dialog::TabStripMachine_Click();
    EXPECT_EQ(dialog::Model().CurrentMachine, 1);
    EXPECT_EQ(FieldText("TextScalaEnde", 7), "359");

    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kButtonFaceColor);
    EXPECT_TRUE(Find("TabStripMachine").Enabled());
    dialog::TabStripMachine_Click();
    EXPECT_EQ(FieldText("TextScalaEnde", 7), "300");
}

TEST_F(DialogTest, MachinesBeyondTheFifthAreLeftAlone)
{
    installation.Write("parameter/Program.ini", "[Project]\r\nNumberOfMachines=7\r\n[Machine7]\r\nCamScaleEnd1=5\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine5=true\r\nForMachine6=true\r\nForMachine7=true\r\n");
    Load();
    EXPECT_EQ(TabCaptions(), (Captions { "" }));
    EXPECT_EQ(dialog::Model().TabMachine[1], 5);
    EXPECT_TRUE(installation.shown.empty());
}
