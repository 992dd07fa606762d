// The command-line reader: any argument string is read without a crash or an end of the
// program; only a key at the very end fails, as an invalid argument. A value found is trimmed,
// upper-cased and holds no item of its key; the log path as typed is the same value before
// upper-casing; the start mode follows EXTERNAL alone.
#include "startup/command_line.h"
#include "diagnostics/start_modes.h"
#include "fuzz_support.h"
#include "platform/system/text.h"

#include <algorithm>

// The value as the start-up takes it: "" where the key cannot be read.
static std::optional<std::string> ReadCommand(const std::string& arguments, const char* key)
{
    try {
        return startup::ReadCommand(arguments, key);
    } catch (const platform::Failure& failure) {
        if (failure.number != platform::kInvalidArgument)
            fuzz::Broken("only a key at the very end fails", arguments);
        return std::string();
    }
}

static void Check(const std::string& arguments)
{
    // Standalone until this line's mode is read: a failure reported in integrated mode is logged
    // to the LOGFILE path, which must never be the previous input's.
    platform::Process().arguments.clear();
    diagnostics::Modes() = {};
    for (const char* key : { "EXTERNAL", "LOGFILE" }) {
        std::optional<std::string> value = ReadCommand(arguments, key);
        if (value.has_value() != platform::FindIgnoringCase(arguments, key).has_value())
            fuzz::Broken("a value exactly when the key occurs", arguments);
        if (!value)
            continue;
        // Upper case is checked on ASCII only: a text of mixed encodings may read as UTF-8 once
        // its Windows-1252 letters are upper-cased.
        bool ascii = std::all_of(arguments.begin(), arguments.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (*value != platform::TrimSpaces(*value)
            || (ascii && *value != platform::UpperCase(*value)))
            fuzz::Broken("a value is trimmed and upper-cased", *value);
        if (platform::FindIgnoringCase(*value, std::string(" /") + key))
            fuzz::Broken("a value holds no item of the same key", *value);
    }
    platform::Process().arguments = arguments;
    startup::DecideStartMode();
    bool integrated = startup::GetStartModeIntegrated();
    const diagnostics::StartModes& modes = diagnostics::Modes();
    std::string external = ReadCommand(arguments, "EXTERNAL").value_or("");
    if (integrated != modes.StartModeIntegrated || (modes.StartModeIntegrated && modes.SilentMode)
        || modes.StartModeIntegrated != (external == "TVXCFG")
        || modes.SilentMode != (external == "SILENT"))
        fuzz::Broken("the start mode follows EXTERNAL", arguments);
    if (platform::UpperCase(startup::GetPathLogfile())
        != ReadCommand(arguments, "LOGFILE").value_or(""))
        fuzz::Broken("the log path as typed upper-cases to the value read", arguments);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    fuzz::QuietProcess();
    Check(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
