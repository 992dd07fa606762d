#include "startup/usage.h"

#include "diagnostics/program_location.h"
#include "platform/system/process.h"

#include <string_view>

std::optional<std::string> startup::UsageText(int argc, char** argv)
{
    if (argc != 2)
        return std::nullopt;
    const std::string name = platform::Process().executableName;
    // A name too short to give a component still names the files the help lists.
    const std::string component
        = diagnostics::GetOCXName().empty() ? name : diagnostics::GetOCXName();
    const std::string version = diagnostics::ProgramVersion();
    if (std::string_view(argv[1]) == "--version")
        return name + " " + version + "\n";
    if (std::string_view(argv[1]) != "--help")
        return std::nullopt;
    return "Usage: " + name
        + " [/EXTERNAL=TVXCFG /LOGFILE=<path> | /EXTERNAL=SILENT]\n"
          "Edits the cams of the component "
        + component
        + " (scale begin, scale end and unit of 40 cams\n"
          "per machine) and, on OK, rebuilds its preset definitions and saves the settings.\n\n"
          "Start modes:\n"
          "  "
        + name
        + "\n"
          "      standalone: edits the machines marked ForMachine<n>=true\n"
          "  "
        + name
        + " /EXTERNAL=TVXCFG /LOGFILE=<path>\n"
          "      integrated: started by the configuration host; machines from ValidMachines\n"
          "  "
        + name
        + " /EXTERNAL=SILENT\n"
          "      silent: no window; applies the stored settings as OK would\n\n"
          "Files, below the installation folder (the parent of the program's folder):\n"
          "  Tools/"
        + name
        + ".ini\n"
          "      language file: captions, tool tips and help texts\n"
          "  parameter/tvxconfiguration.ini\n"
          "      SaveAndRestore folder, machine names (integrated)\n"
          "  parameter/Program.ini\n"
          "      machine list and cam settings\n"
          "  "
        + component + "/" + component
        + ".cfg\n"
          "      component configuration (required)\n"
          "  "
        + component + "/" + component
        + "_Source.mdb\n"
          "      templates of the preset definitions\n"
          "  "
        + component + "/" + component
        + ".mdb\n"
          "      component database, rebuilt on OK\n"
          "  TVXcfglog.txt, or the LOGFILE path\n"
          "      error log\n\n"
          "Exit status: 0 after OK or a confirmed cancel, 1 after an error report that ended the\n"
          "program, 2 for an interactive start without a display.\n";
}
