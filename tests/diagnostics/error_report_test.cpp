// The error convention, the central report and the two logs, in every start mode.
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "support/installation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using testing_support::Lines;
using testing_support::ProgramEnded;
using testing_support::TempInstallation;

namespace {

// A procedure of three steps whose second fails; returns which steps ran.
std::vector<int> RunFailingProcedure(diagnostics::ErrorScope::Form form = diagnostics::ErrorScope::Ordinary)
{
    diagnostics::ErrorScope scope("SampleProcedure", form);
    std::vector<int> ran;
    scope.Run([&] { ran.push_back(1); });
    scope.Run([&] {
        platform::Raise(platform::kSubscriptOutOfRange);
        ran.push_back(2);
    });
    scope.Run([&] { ran.push_back(3); });
    return ran;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

const char* kFailureLine = "Fehler in Lobix / Lobix_Config_Exe / SampleProcedure (Nr. 9) :Subscript out of range";

}

TEST(ErrorConvention, ResumeGoesOnWithTheNextStep)
{
    TempInstallation installation;
    installation.answers = { platform::kYes };
    EXPECT_EQ(RunFailingProcedure(), (std::vector<int> { 1, 3 }));
    ASSERT_EQ(installation.shown.size(), 1u);
    const platform::MessageBoxRequest& box = installation.shown[0];
    EXPECT_EQ(box.prompt, "Unexpected error!\n\rSubscript out of range\n\rError logged to \n\r"
            + Upper(installation.Path("TVXcfglog.txt")) + "\n\rResume?");
    EXPECT_EQ(box.title, "Unexpected error");
    EXPECT_EQ(box.buttons, platform::Buttons::YesNo);
    EXPECT_EQ(box.defaultButton, platform::kYes);
    EXPECT_EQ(box.icon, platform::kCritical);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), std::vector<std::string> { kFailureLine });
}

TEST(ErrorConvention, NoEndsTheProgramWithStatusOne)
{
    TempInstallation installation;
    installation.answers = { platform::kNo };
    try {
        RunFailingProcedure();
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 1);
    }
}

TEST(ErrorConvention, FatalReportOffersNoChoiceAndEnds)
{
    TempInstallation installation;
    EXPECT_THROW(RunFailingProcedure(diagnostics::ErrorScope::Fatal), ProgramEnded);
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].title, "Fatal error");
    EXPECT_EQ(installation.shown[0].buttons, platform::Buttons::Ok);
}

TEST(ErrorConvention, SilentModeLogsAndGoesOn)
{
    TempInstallation installation;
    installation.SetArguments("/EXTERNAL=SILENT");
    EXPECT_EQ(RunFailingProcedure(diagnostics::ErrorScope::Fatal), (std::vector<int> { 1, 3 }));
    EXPECT_TRUE(installation.shown.empty());
    std::string upper = Upper(installation.Path("TVXcfglog.txt"));
    EXPECT_EQ(installation.Read("servicepack.log"),
        "! Fault Lobix_Config: Unexpected error!\n\rSubscript out of range\n\rError logged to \n\r" + upper
            + "\r\n");
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), std::vector<std::string> { kFailureLine });
}

TEST(ErrorConvention, IntegratedLogsToTheLogfileOrTheInstallation)
{
    TempInstallation installation;
    std::string logfile = installation.Path("Logs/Cfg.txt");
    installation.Write("Logs/keep", "");
    installation.SetArguments("/EXTERNAL=TVXCFG /LOGFILE=" + logfile);
    RunFailingProcedure();
    EXPECT_EQ(Lines(installation.Read("Logs/Cfg.txt")), std::vector<std::string> { kFailureLine });
    EXPECT_NE(installation.shown[0].prompt.find("Error logged to \n\r" + Upper(logfile)), std::string::npos);

    installation.SetArguments("/EXTERNAL=TVXCFG");
    RunFailingProcedure();
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), std::vector<std::string> { kFailureLine });
}

TEST(ErrorConvention, AnUnwritableLogNeverHidesTheReport)
{
    TempInstallation installation;
    installation.SetArguments("/EXTERNAL=TVXCFG /LOGFILE=" + installation.Path("no/such/folder/log.txt"));
    installation.answers = { platform::kYes };
    EXPECT_EQ(RunFailingProcedure(), (std::vector<int> { 1, 3 }));
    EXPECT_EQ(installation.shown.size(), 1u);
}

TEST(ShowFault, IsABoxOrAServicePackLine)
{
    TempInstallation installation;
    diagnostics::ShowFault("Something\n\rwrong");
    ASSERT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.shown[0].title, "Lobix_Config");
    EXPECT_EQ(installation.shown[0].icon, platform::kCritical);

    installation.SetArguments("/EXTERNAL=SILENT");
    diagnostics::ShowFault("Something\n\rwrong");
    EXPECT_EQ(installation.shown.size(), 1u);
    EXPECT_EQ(installation.Read("servicepack.log"), "! Fault Lobix_Config: Something\n\rwrong\r\n");
}
