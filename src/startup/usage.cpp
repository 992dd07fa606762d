#include "startup/usage.h"

#include "diagnostics/program_location.h"
#include "platform/system/process.h"

#include <string_view>

// The help, "<name>" standing for the program's name and "<component>" for its component's.
static constexpr std::string_view kHelp
    = R"(Usage: <name> [/EXTERNAL=TVXCFG /LOGFILE=<path> | /EXTERNAL=SILENT]
Edits the cams of the component <component> (scale begin, scale end and unit of 40 cams
per machine) and, on OK, rebuilds its preset definitions and saves the settings.

Start modes:
  <name>
      standalone: edits the machines marked ForMachine<n>=true
  <name> /EXTERNAL=TVXCFG /LOGFILE=<path>
      integrated: started by the configuration host; machines from ValidMachines
  <name> /EXTERNAL=SILENT
      silent: no window; applies the stored settings as OK would

Files, below the installation folder (the parent of the program's folder):
  Tools/<name>.ini
      language file: captions, tool tips and help texts
  parameter/tvxconfiguration.ini
      SaveAndRestore folder, machine names (integrated)
  parameter/Program.ini
      machine list and cam settings
  <component>/<component>.cfg
      component configuration (required)
  <component>/<component>_Source.mdb
      templates of the preset definitions
  <component>/<component>.mdb
      component database, rebuilt on OK
  TVXcfglog.txt, or the LOGFILE path
      error log

Exit status: 0 after OK or a confirmed cancel, 1 after an error report that ended the
program, 2 for an interactive start without a display.
)";

std::optional<std::string> startup::UsageText(int argc, char** argv)
{
    if (argc != 2)
        return std::nullopt;
    const std::string name = platform::Process().executableName;
    if (std::string_view(argv[1]) == "--version")
        return name + " " + diagnostics::ProgramVersion() + "\n";
    if (std::string_view(argv[1]) != "--help")
        return std::nullopt;
    // A name too short to give a component still names the files the help lists.
    const std::string component
        = diagnostics::GetOCXName().empty() ? name : diagnostics::GetOCXName();
    std::string text;
    for (size_t at = 0; at < kHelp.size();) {
        std::string_view rest = kHelp.substr(at);
        if (rest.starts_with("<name>")) {
            text += name;
            at += 6;
        } else if (rest.starts_with("<component>")) {
            text += component;
            at += 11;
        } else {
            text += kHelp[at++];
        }
    }
    return text;
}
