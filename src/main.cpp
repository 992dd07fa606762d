// Starting the program loads its one window; the window's load handler is the start-up.
#include "diagnostics/error_report.h"
#include "dialog/main_window.h"
#include "platform/window/application.h"
#include "platform/system/process.h"
#include "startup/command_line.h"
#include "config/leftovers.h"

#include <cstdio>

int main(int argc, char** argv)
{
    platform::LoadProcessFacts(argc, argv);
    bool silent = startup::ReadCommand(platform::Process().arguments, "EXTERNAL") == "SILENT";
    if (!silent && !platform::HasDisplay()) {
        std::fprintf(stderr, "%s: no display to show the dialog on; start it with /EXTERNAL=SILENT "
                             "to apply the stored settings without a window.\n",
            platform::Process().executableName.c_str());
        return 2;
    }
    return platform::RunApplication(argc, argv, silent, [] {
        config::RemoveLeftoverTemporaries();
        int status = dialog::RunDialog();
        diagnostics::WriteRepeatCount();
        return status;
    });
}
