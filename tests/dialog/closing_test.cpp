// Leaving the dialog: OK saves and ends, Cancel and the close box ask before discarding.
#include "dialog/closing.h"
#include "dialog/main_window.h"
#include "platform/process.h"
#include "startup/command_line.h"
#include "support/dialog_fixture.h"

using testing_support::DialogTest;
using testing_support::Lines;
using testing_support::ProgramEnded;

namespace {

struct Closing : DialogTest {
    std::string programIni;

    void SetUp() override
    {
        LayOut("ForMachine2=true\r\n", "[Machine2]\r\nCamScaleEnd7=300\r\n");
        Load();
        programIni = installation.Read("parameter/Program.ini");
    }

    // Runs `action`; returns the exit status, or -1 when the program did not end.
    static int EndStatus(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
        return -1;
    }
};

}

TEST_F(Closing, OkSavesTheEditsAndEnds)
{
    Find("TextScalaEnde", 7).SetText("250");
    EXPECT_EQ(EndStatus([] { Find("CommandOK").onClick(); }), 0);
    std::string saved = installation.Read("parameter/Program.ini");
    EXPECT_NE(saved.find("[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=250\r\nCamScaleBegin1=0\r\n"),
        std::string::npos);
    EXPECT_NE(installation.Read("Lobix/Lobix.cfg").find("[Info]\r\nS_Prog=1.0.0 - Standalone\r\nS_Editor=666768\r\n"),
        std::string::npos);
    EXPECT_FALSE(Find("CommandOK").Enabled());
    EXPECT_FALSE(Find("CommandCancel").Enabled());
    EXPECT_TRUE(installation.shown.empty());
}

TEST_F(Closing, CancelAndCloseBoxAskAndDiscardOnlyOnYes)
{
    Find("TextScalaEnde", 7).SetText("250");
    installation.answers = { platform::kNo };
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), -1);
    bool cancel = false;
    installation.answers = { platform::kNo };
    dialog::Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(FieldText("TextScalaEnde", 7), "250");
    EXPECT_TRUE(Find("CommandOK").Enabled());
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt"));

    cancel = false;
    installation.answers = { platform::kYes };
    dialog::Form_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    installation.answers = { platform::kYes };
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), 0);

    ASSERT_EQ(installation.shown.size(), 4u);
    EXPECT_EQ(installation.shown[0].prompt, "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
    EXPECT_EQ(installation.shown[0].title, "Cancel?");
    EXPECT_EQ(installation.shown[0].defaultButton, platform::kNo);
    EXPECT_EQ(installation.shown[0].icon, platform::kExclamation);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string>(2, "Konfigurations-EXE wurde abgebrochen:     Lobix"));
    EXPECT_EQ(installation.Read("parameter/Program.ini"), programIni);
}

TEST_F(Closing, CloseBoxAsksEvenInHelpModeAndNothingInterruptsOk)
{
    dialog::CommandQuest_Click();
    bool cancel = false;
    installation.answers = { platform::kNo };
    dialog::Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(installation.shown.size(), 1u);

    dialog::Window().OkSequenceRunning = true;
    cancel = false;
    dialog::Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(installation.shown.size(), 1u);
    Find("CommandOK").SetEnabled(false);
    dialog::Form_Activate();
    EXPECT_FALSE(Find("CommandOK").Enabled()) << "no second OK while the first works";
}

TEST_F(Closing, IntegratedQuestionNamesTheStandaloneProgram)
{
    platform::Process().arguments = "/EXTERNAL=TVXCFG";
    startup::GetStartModeIntegrated();
    installation.answers = { platform::kNo };
    Find("CommandCancel").onClick();
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt,
        "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r\"Lobix\" has to be configured "
        "again in \"standalone-mode\" via \n\r\""
            + installation.Path("Tools/Lobix_Config") + "\"");
}
