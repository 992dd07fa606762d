#include "platform/database/field_values.h"

#include "platform/database/database_connection.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <cfloat>
#include <cmath>

namespace platform {

std::optional<double> NumericValue(const Value& value)
{
    if (auto* whole = std::get_if<long long>(&value))
        return static_cast<double>(*whole);
    if (auto* real = std::get_if<double>(&value))
        return *real;
    if (auto* flag = std::get_if<bool>(&value))
        return *flag ? -1 : 0;
    if (auto* text = std::get_if<std::string>(&value))
        return ReadDecimal(*text);
    return std::nullopt;
}

static double Number(const Value& value)
{
    std::optional<double> number = NumericValue(value);
    if (!number)
        Raise(kTypeMismatch, kFieldSource);
    return *number;
}

static bool Boolean(const Value& value)
{
    if (auto* text = std::get_if<std::string>(&value)) {
        if (EqualsIgnoringCase(TrimSpaces(*text), "True"))
            return true;
        if (EqualsIgnoringCase(TrimSpaces(*text), "False"))
            return false;
    }
    return Number(value) != 0;
}

Value FieldValue(const Value& value, int type)
{
    if (std::holds_alternative<Null>(value))
        return value;
    switch (type) {
    case kDbBoolean:
        return Boolean(value);
    case kDbByte:
        return RoundToWhole(Number(value), 0, 255, kFieldSource);
    case kDbInteger:
        return RoundToWhole(Number(value), -32768, 32767, kFieldSource);
    case kDbLong:
        return RoundToWhole(Number(value), -2147483648.0, 2147483647.0, kFieldSource);
    case kDbCurrency: {
        double scaled = std::nearbyint(Number(value) * 10000);
        if (!(std::fabs(scaled) <= 9.223372036854775807e18))
            Raise(kOverflow, kFieldSource);
        return scaled / 10000;
    }
    case kDbSingle: {
        double number = Number(value);
        if (!(std::fabs(number) <= FLT_MAX))
            Raise(kOverflow, kFieldSource);
        return static_cast<double>(static_cast<float>(number));
    }
    case kDbDouble:
    case kDbDate:
        return Number(value);
    case kDbText:
    case kDbMemo:
        if (auto* flag = std::get_if<bool>(&value))
            return std::string(*flag ? "True" : "False");
        if (!std::holds_alternative<std::string>(value))
            return NumberText(Number(value), 15);
        return value;
    default:
        return value;
    }
}

}
