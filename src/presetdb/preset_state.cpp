#include "presetdb/preset_state.h"

#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

presetdb::PresetState& presetdb::Presets()
{
    static PresetState state;
    return state;
}

std::string presetdb::ReplaceSearchItem(
    const std::string& text, const std::string& search, const std::string& replacement)
{
    std::optional<platform::TextSpan> found = platform::FindIgnoringCase(text, search);
    if (search.empty() || !found)
        return text;
    return text.substr(0, found->begin) + replacement + text.substr(found->end);
}

double presetdb::NumberOf(const platform::Value& value)
{
    if (const long long* number = std::get_if<long long>(&value))
        return static_cast<double>(*number);
    if (const double* number = std::get_if<double>(&value))
        return *number;
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? -1 : 0;
    if (std::holds_alternative<platform::Null>(value))
        platform::Raise(platform::kInvalidUseOfNull);
    const std::string& text = std::get<std::string>(value);
    char* end = nullptr;
    double number = std::strtod(text.c_str(), &end);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (text.empty() || !end || *end != '\0')
        platform::Raise(platform::kTypeMismatch);
    return number;
}

int presetdb::TemplateIndex(const platform::Value& part)
{
    double index = std::nearbyint(NumberOf(part) - 1);
    if (!(index >= 0 && index < kTemplateParts))
        platform::Raise(platform::kSubscriptOutOfRange);
    return static_cast<int>(index);
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
