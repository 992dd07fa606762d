#include "startup/command_line.h"

#include "diagnostics/error_scope.h"
#include "diagnostics/start_modes.h"
#include "platform/system/failure.h"
#include "platform/system/process.h"
#include "platform/system/text.h"

#include <string_view>

// The tool's own items: a word that begins with one of them is never another item's value.
static bool IsSwitchAt(const std::string& commandLine, size_t at)
{
    for (const char* item : { "/EXTERNAL", "/LOGFILE" }) {
        std::optional<platform::TextSpan> found
            = platform::FindIgnoringCase(std::string_view(commandLine).substr(at), item);
        if (found && found->begin == 0)
            return true;
    }
    return false;
}

// The value as typed: everything after the key and its separator, up to the next item. A key
// that ends the line with no separator after it is an invalid procedure call.
static std::optional<std::string> ValueAsTyped(const std::string& commandLine, const std::string& key)
{
    std::optional<platform::TextSpan> found = platform::FindIgnoringCase(commandLine, key);
    if (!found)
        return std::nullopt;
    size_t start = found->end + 1;
    if (start > commandLine.size())
        platform::Raise(platform::kInvalidArgument);
    size_t end = start;
    // A "/" that begins a word ends the value, unless it directly follows a blank separator and
    // names no item: "/LOGFILE /var/log/x" names /var/log/x.
    for (; end < commandLine.size(); ++end)
        if (commandLine[end] == '/' && platform::IsBlank(commandLine[end - 1])
            && (end > start || IsSwitchAt(commandLine, end)))
            break;
    return platform::Trim(commandLine.substr(start, end - start));
}

// Reads under the name "ReadCommand"; after a reported failure the value is "".
static std::optional<std::string> ReadValue(const std::string& commandLine, const std::string& key)
{
    diagnostics::ErrorScope scope("ReadCommand");
    std::optional<std::string> value = std::string();
    scope.Run([&] { value = ValueAsTyped(commandLine, key); });
    return value;
}

std::optional<std::string> startup::ReadCommand(const std::string& commandLine, const std::string& key)
{
    std::optional<std::string> value = ReadValue(commandLine, key);
    if (value)
        value = platform::UpperCase(*value);
    return value;
}

bool startup::GetStartModeIntegrated()
{
    diagnostics::ErrorScope scope("GetStartModeIntegrated");
    std::string value;
    scope.Run([&] { value = ReadCommand(platform::Process().arguments, "EXTERNAL").value_or(""); });
    diagnostics::StartModes& modes = diagnostics::Modes();
    modes.StartModeIntegrated = value == "TVXCFG";
    modes.SilentMode = value == "SILENT";
    if (modes.SilentMode)
        modes.StartModeIntegrated = false;
    // Set after the flags: a failure reading it is logged where a run without LOGFILE logs.
    modes.LogfilePath = modes.StartModeIntegrated ? GetPathLogfile() : "";
    return modes.StartModeIntegrated;
}

std::string startup::GetPathLogfile()
{
    diagnostics::ErrorScope scope("GetPathLogfile");
    std::string path;
    scope.Run([&] { path = ReadValue(platform::Process().arguments, "LOGFILE").value_or(""); });
    return path;
}
