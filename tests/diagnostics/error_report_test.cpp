// The error convention, the central report and the two logs, in every start mode.
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(ErrorConvention, AFailingStepIsReportedThenTheProcedureGoesOnOrTheProgramEnds)
{
    using enum diagnostics::ErrorScope::Form;
    struct Case {
        const char* arguments; // " /LOGFILE=" and `log` follow when `logfile`
        bool logfile;
        diagnostics::ErrorScope::Form form;
        platform::Answer answer;
        int status; // -1 when the procedure went on with its next step
        const char* log; // below the installation
        bool logged; // false when the log cannot be written
    } cases[] = {
        { "", false, Ordinary, platform::kYes, -1, "TVXcfglog.txt", true },
        { "", false, Ordinary, platform::kNo, 1, "TVXcfglog.txt", true },
        { "", false, Fatal, platform::kYes, 1, "TVXcfglog.txt", true },
        { "/EXTERNAL=SILENT", false, Fatal, platform::kNo, -1, "TVXcfglog.txt", true },
        { "/EXTERNAL=TVXCFG", true, Ordinary, platform::kYes, -1, "Logs/Cfg.txt", true },
        { "/EXTERNAL=TVXCFG", false, Ordinary, platform::kYes, -1, "TVXcfglog.txt", true },
        { "/EXTERNAL=TVXCFG", true, Ordinary, platform::kYes, -1, "no/such/log.txt", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        TempInstallation installation;
        installation.Write("Logs/keep", "");
        installation.SetArguments(
            c.arguments + (c.logfile ? " /LOGFILE=" + installation.Path(c.log) : ""));
        installation.answers = { c.answer };
        std::vector<int> ran;
        int status = EndStatus([&] {
            diagnostics::ErrorScope scope("SampleProcedure", c.form);
            scope.Run([&] { ran.push_back(1); });
            scope.Run([&] {
                platform::Raise(platform::kSubscriptOutOfRange);
                ran.push_back(2);
            });
            scope.Run([&] { ran.push_back(3); });
        });
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(ran, (status == -1 ? std::vector<int> { 1, 3 } : std::vector<int> { 1 }));
        std::string line = "Fehler in Lobix / Lobix_Config_Exe / SampleProcedure (Nr. 9) "
                           ":Subscript out of range\r\n";
        EXPECT_EQ(installation.Read(c.log), c.logged ? line : "");
        std::string report = "Unexpected error!\n\rSubscript out of range\n\rError logged to \n\r"
            + Upper(installation.Path(c.log))
            + (c.logged ? "" : "\n\rThe log file could not be written.");
        bool silent = c.arguments == std::string("/EXTERNAL=SILENT");
        EXPECT_EQ(installation.Read("servicepack.log"),
            silent ? "! Fault Lobix_Config: " + report + "\r\n" : "");
        ASSERT_EQ(installation.shown.size(), silent ? 0u : 1u);
        if (silent)
            continue;
        const platform::MessageBoxRequest& box = installation.shown[0];
        bool fatal = c.form == Fatal;
        EXPECT_EQ(box.prompt, fatal ? report : report + "\n\rResume?");
        EXPECT_EQ(box.title, fatal ? "Fatal error" : "Unexpected error");
        EXPECT_EQ(box.buttons, fatal ? platform::Buttons::Ok : platform::Buttons::YesNo);
        EXPECT_EQ(box.defaultButton, fatal ? platform::kOk : platform::kYes);
        EXPECT_EQ(box.icon, platform::kCritical);
    }
}

// Reports that repeat the one before are folded into a count only in silent mode, and the count
// is in the log before the next line of it; a report the user answers is in the log when its box
// is shown.
TEST(ErrorConvention, EveryAnsweredReportIsLoggedWhenItIsShownAndSilentRepeatsAreCounted)
{
    const std::string line = "Fehler in Lobix / Lobix_Config_Exe / Loop (Nr. 6) :Overflow";
    for (bool silent : { false, true }) {
        TempInstallation installation;
        installation.SetArguments(silent ? "/EXTERNAL=SILENT" : "");
        std::vector<size_t> logged; // the log's lines as each box is shown
        platform::SetMessageBoxHandler([&](const platform::MessageBoxRequest&) {
            logged.push_back(Lines(installation.Read("TVXcfglog.txt")).size());
            return platform::kYes;
        });
        diagnostics::ErrorScope scope("Loop");
        for (int pass = 0; pass < 3; ++pass)
            scope.Run([] { platform::Raise(platform::kOverflow); });
        diagnostics::WriteErrorLog("next", false);
        using Sizes = std::vector<size_t>;
        using Texts = std::vector<std::string>;
        EXPECT_EQ(logged, silent ? Sizes {} : (Sizes { 1, 2, 3 }));
        EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
            silent ? (Texts { line, "... repeated 2 times", "next" })
                   : (Texts { line, line, line, "next" }));
    }
}
