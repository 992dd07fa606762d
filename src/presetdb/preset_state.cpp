#include "presetdb/preset_state.h"

#include "platform/database/field_values.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <cmath>

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
    if (std::holds_alternative<platform::Null>(value))
        platform::Raise(platform::kInvalidUseOfNull);
    std::optional<double> number = platform::NumericValue(value);
    if (!number)
        platform::Raise(platform::kTypeMismatch);
    return *number;
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
    if (std::holds_alternative<platform::Null>(value))
        return {};
    return std::get<std::string>(platform::FieldValue(value, platform::kDbMemo));
}
