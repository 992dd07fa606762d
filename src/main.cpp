// Starting the program loads its one window; the window's load handler is the start-up. Before
// it, the command line decides the start mode, and the run claims its installation.
#include "config/run_claim.h"
#include "diagnostics/error_report.h"
#include "diagnostics/start_modes.h"
#include "dialog/main_window.h"
#include "platform/system/exit.h"
#include "platform/system/process.h"
#include "platform/window/application.h"
#include "startup/command_line.h"
#include "startup/usage.h"

#include <cstdio>

int main(int argc, char** argv)
{
    platform::LoadProcessFacts(argc, argv);
    if (std::optional<std::string> text = startup::UsageText(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    startup::DecideStartMode();
    // Reports folded into a count reach the logs however the run ends.
    platform::AtEnd(diagnostics::WriteRepeatCount);
    bool silent = diagnostics::Modes().SilentMode;
    if (!silent && !platform::HasDisplay()) {
        std::fprintf(stderr,
            "%s: no display to show the dialog on; start it with /EXTERNAL=SILENT "
            "to apply the stored settings without a window.\n",
            platform::Process().executableName.c_str());
        return 2;
    }
    return platform::RunApplication(argc, argv, silent, [] {
        startup::ReportCommandLineFailures();
        config::ClaimInstallation();
        int status = dialog::RunDialog();
        diagnostics::WriteRepeatCount();
        return status;
    });
}
