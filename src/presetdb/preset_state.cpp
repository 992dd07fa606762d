#include "presetdb/preset_state.h"

#include <cstdio>
#include "platform/text.h"

presetdb::PresetState& presetdb::Presets()
{
    static PresetState state;
    return state;
}

std::string presetdb::ReplaceSearchItem(const std::string& text, const std::string& search, const std::string& replacement)
{
    size_t at = platform::UpperCase(text).find(platform::UpperCase(search));
    if (search.empty() || at == std::string::npos)
        return text;
    return text.substr(0, at) + replacement + text.substr(at + search.size());
}

std::string presetdb::JetQuoted(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string presetdb::ValueText(const platform::Value& value)
{
    struct {
        std::string operator()(platform::Null) { return ""; }
        std::string operator()(long long v) { return std::to_string(v); }
        std::string operator()(double v)
        {
            char text[32];
            std::snprintf(text, sizeof text, "%.15G", v);
            return text;
        }
        std::string operator()(bool v) { return v ? "True" : "False"; }
        std::string operator()(const std::string& v) { return v; }
    } textOf;
    return std::visit(textOf, value);
}
