// The edit-info record and the question before discarding edits.
#include "diagnostics/abort_question.h"
#include "config/edit_info.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using testing_support::TempInstallation;

TEST(EditInfo, MarkEncodesTheFirstEnvironmentValue)
{
    struct Case {
        const char* entry;
        const char* mark;
    } cases[] = { { "X=abc", "666768" }, { "X=a-b_c", "666768" }, { "X=", "" }, { "abc", "666768" },
        { "X=a=b", "664267" }, { "X=\xFF", "104" }, { "", "" } };
    for (const Case& c : cases)
        EXPECT_EQ(config::EditorMark(c.entry), c.mark) << c.entry;
}

TEST(EditInfo, RecordsVersionAndModeKeepingOtherEntries)
{
    TempInstallation installation;
    installation.Write(
        "Lobix/Lobix.cfg", "[Info]\r\nOther=kept\r\n[Project]\r\nForMachine1=true\r\n");
    config::WriteEditInfo();
    EXPECT_EQ(installation.Read("Lobix/Lobix.cfg"),
        "[Info]\r\nOther=kept\r\nS_Prog=1.0.0 - Standalone\r\nS_Editor=666768\r\n"
        "[Project]\r\nForMachine1=true\r\n");
    installation.SetArguments("/EXTERNAL=TVXCFG");
    config::WriteEditInfo();
    EXPECT_EQ(installation.Entry("Lobix/Lobix.cfg", "Info", "S_Prog"), "1.0.0 - Integrated");
}

TEST(ConfirmCancel, NamesTheStandaloneProgramWhenIntegratedAndConfirmsSilently)
{
    const std::string question
        = "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ";
    TempInstallation installation;
    installation.SetArguments("/EXTERNAL=TVXCFG");
    installation.answers = { platform::kNo };
    EXPECT_FALSE(diagnostics::ConfirmCancel());
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].prompt,
        question + "\n\r\"Lobix\" has to be configured again in \"standalone-mode\" via \n\r\""
            + installation.Path("Tools/Lobix_Config") + "\"");
    installation.SetArguments("/EXTERNAL=SILENT");
    EXPECT_TRUE(diagnostics::ConfirmCancel());
    EXPECT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.Read("servicepack.log"), "! Fault Lobix_Config: " + question + "\r\n");
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt"));
}
