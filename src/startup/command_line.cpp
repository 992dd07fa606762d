#include "startup/command_line.h"

#include "diagnostics/error_scope.h"
#include "platform/process.h"
#include "platform/text.h"

startup::StartModes& startup::Modes()
{
    static StartModes modes;
    return modes;
}

// The value as typed: everything after the key and its separator, up to the next item.
static std::optional<std::string> ValueAsTyped(const std::string& commandLine, const std::string& key)
{
    size_t position = platform::UpperCase(commandLine).find(platform::UpperCase(key));
    if (position == std::string::npos)
        return std::nullopt;
    size_t start = position + key.size() + 1;
    if (start >= commandLine.size())
        return std::string();
    size_t end = start;
    // The separator itself does not end the value: "/LOGFILE /var/log/x" names /var/log/x.
    while (end < commandLine.size()
        && !(commandLine[end] == '/' && end > start && platform::IsBlank(commandLine[end - 1])))
        ++end;
    return platform::Trim(commandLine.substr(start, end - start));
}

std::optional<std::string> startup::ReadCommand(const std::string& commandLine, const std::string& key)
{
    diagnostics::ErrorScope scope("ReadCommand");
    std::optional<std::string> value;
    scope.Run([&] {
        value = ValueAsTyped(commandLine, key);
        if (value)
            value = platform::UpperCase(*value);
    });
    return value;
}

bool startup::GetStartModeIntegrated()
{
    diagnostics::ErrorScope scope("GetStartModeIntegrated");
    std::string value;
    scope.Run([&] { value = ReadCommand(platform::Process().arguments, "EXTERNAL").value_or(""); });
    StartModes& modes = Modes();
    modes.StartModeIntegrated = value == "TVXCFG";
    modes.SilentMode = value == "SILENT";
    if (modes.SilentMode)
        modes.StartModeIntegrated = false;
    return modes.StartModeIntegrated;
}

std::string startup::GetPathLogfile()
{
    diagnostics::ErrorScope scope("GetPathLogfile");
    std::string path;
    scope.Run([&] { path = ValueAsTyped(platform::Process().arguments, "LOGFILE").value_or(""); });
    return path;
}
