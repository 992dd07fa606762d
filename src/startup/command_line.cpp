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
static std::optional<std::string> ValueAsTyped(
    const std::string& commandLine, const std::string& key)
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
        if (commandLine[end] == '/' && commandLine[end - 1] == ' '
            && (end > start || IsSwitchAt(commandLine, end)))
            break;
    return std::string(
        platform::TrimSpaces(std::string_view(commandLine).substr(start, end - start)));
}

std::optional<std::string> startup::ReadCommand(
    const std::string& commandLine, const std::string& key)
{
    std::optional<std::string> value = ValueAsTyped(commandLine, key);
    if (value)
        value = platform::UpperCase(*value);
    return value;
}

// The key's value as typed; "" with the failure kept when it cannot be read.
static std::string ReadKey(const std::string& key)
{
    try {
        return ValueAsTyped(platform::Process().arguments, key).value_or("");
    } catch (const platform::Failure& failure) {
        diagnostics::Modes().CommandLineFailures.push_back(failure);
        return {};
    }
}

void startup::DecideStartMode()
{
    diagnostics::StartModes& modes = diagnostics::Modes();
    std::string external = platform::UpperCase(ReadKey("EXTERNAL"));
    modes.SilentMode = external == "SILENT";
    modes.StartModeIntegrated = external == "TVXCFG";
    modes.LogfilePath = ReadKey("LOGFILE");
    modes.Decided = true;
}

void startup::ReportCommandLineFailures()
{
    diagnostics::ErrorScope scope("ReadCommand");
    std::vector<platform::Failure> failures;
    failures.swap(diagnostics::Modes().CommandLineFailures);
    for (const platform::Failure& failure : failures)
        scope.Run([&] { throw failure; });
}

bool startup::GetStartModeIntegrated()
{
    if (!diagnostics::Modes().Decided)
        DecideStartMode();
    return diagnostics::Modes().StartModeIntegrated;
}

std::string startup::GetPathLogfile()
{
    GetStartModeIntegrated();
    return diagnostics::Modes().LogfilePath;
}
