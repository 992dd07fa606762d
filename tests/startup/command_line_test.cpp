// The command-line reader and the start modes it selects.
#include "diagnostics/start_modes.h"
#include "startup/command_line.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using testing_support::ErrorLine;
using testing_support::Lines;
using testing_support::TempInstallation;

TEST(CommandLine, ReadsValuesAsTheHostWritesThem)
{
    struct Case {
        const char* line;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        { "/EXTERNAL:TVXCFG", "EXTERNAL", "TVXCFG" },
        { "/EXTERNAL TVXCFG", "EXTERNAL", "TVXCFG" },
        { "/EXTERNAL==TVXCFG", "EXTERNAL", "=TVXCFG" },
        { "/EXTERNAL=", "EXTERNAL", "" },
        { "/EXTERNAL= /LOGFILE=x", "EXTERNAL", "" },
        { "/EXTERNAL=TVXCFG LOGFILE=x", "EXTERNAL", "TVXCFG LOGFILE=X" },
        { "/EXTERNAL=A /EXTERNAL=B", "EXTERNAL", "A" },
        { "/LOGFILE /var/log/cfg.log /EXTERNAL=TVXCFG", "LOGFILE", "/VAR/LOG/CFG.LOG" },
        { "/EXTERNAL /logfile=a", "EXTERNAL", "" },
        { "/EXTERNAL=größe", "EXTERNAL", "GRÖßE" },
        { "  /EXTERNAL=  tvxcfg   ", "EXTERNAL", "TVXCFG" },
        { "", "EXTERNAL", std::nullopt },
        { "/LOGFILE=x", "EXTERNAL", std::nullopt },
    };
    TempInstallation installation;
    for (const Case& c : cases)
        EXPECT_EQ(startup::ReadCommand(c.line, c.key), c.value) << c.line << " " << c.key;
    EXPECT_TRUE(installation.shown.empty()) << "a legitimate command line reports nothing";
}

// The start mode and the log path as typed; a key at the very end of the line, with no separator
// after it, reads empty and is reported once, however often the start mode is asked for.
TEST(CommandLine, SelectsTheStartModeAndKeepsTheLogfilesCase)
{
    struct Case {
        const char* arguments;
        bool integrated;
        bool silent;
        const char* logfile;
        bool reported = false;
    } cases[] = {
        { "/EXTERNAL=other", false, false, "" },
        { "/LOGFILE /EXTERNAL=TVXCFG", true, false, "" },
        { "/LOGFILE=x /EXTERNAL", false, false, "x", true },
        { "/EXTERNAL=TVXCFG /LOGFILE", true, false, "", true },
    };
    for (const Case& c : cases) {
        TempInstallation installation;
        installation.SetArguments(c.arguments);
        EXPECT_TRUE(installation.shown.empty()) << "reported before the program can report";
        startup::ReportCommandLineFailures();
        EXPECT_EQ(startup::GetStartModeIntegrated(), c.integrated) << c.arguments;
        EXPECT_EQ(startup::GetPathLogfile(), c.logfile) << c.arguments;
        startup::ReportCommandLineFailures();
        EXPECT_EQ(diagnostics::Modes().StartModeIntegrated, c.integrated) << c.arguments;
        EXPECT_EQ(diagnostics::Modes().SilentMode, c.silent) << c.arguments;
        ASSERT_EQ(installation.shown.size(), c.reported ? 1u : 0u) << c.arguments;
        if (c.reported) {
            EXPECT_EQ(installation.shown[0].title, "Unexpected error");
            EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
                std::vector { ErrorLine("ReadCommand", 5, "Invalid procedure call or argument") });
        }
        EXPECT_EQ(startup::GetPathLogfile(), c.logfile) << c.arguments;
    }
}
