// The cam fields' number test and conversion, in the C, German, English and French locales
// (the first input byte picks one). Any text is tested and read without a crash; a number that
// passes the test is repaired to its integer part, and that repaired text passes the test again,
// is whole, and is stored as exactly that integer or refused as an overflow.
#include "editing/cam_fields.h"
#include "fuzz_support.h"
#include "platform/system/failure.h"

#include <QLocale>
#include <cmath>

static void UseLocale(std::uint8_t pick)
{
    static const QLocale locales[] = { QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::French, QLocale::France) };
    QLocale::setDefault(locales[pick % 4]);
}

// The integer part as the field writes it back.
static std::string DecimalText(double value)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// The model value of a text, or nothing when it is refused as an overflow.
static std::optional<short> Stored(const std::string& text)
{
    try {
        return editing::RoundToInteger(editing::LeadingNumber(text).value_or(0));
    } catch (const platform::Failure& failure) {
        if (failure.number != platform::kOverflow)
            fuzz::Broken("a value is refused only as an overflow", text);
        return std::nullopt;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    UseLocale(data[0]);
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    Stored(text);
    std::optional<double> number = editing::NumberTest(text);
    if (!number)
        return 0;
    // Where the locale's separators are those of the locale-independent reading, both read the
    // same number.
    if (data[0] % 4 == 0 && text.find(',') == std::string::npos
        && editing::LeadingNumber(text) != number)
        fuzz::Broken("the C locale's number is the number stored", text);
    double whole = std::floor(*number);
    std::string repaired = whole == *number ? text : DecimalText(whole);
    std::optional<double> again = editing::NumberTest(repaired);
    if (!again || *again != std::floor(*again))
        fuzz::Broken("the repaired text is a whole number", repaired);
    std::optional<short> stored = Stored(repaired);
    bool fits = whole >= -32768 && whole <= 32767;
    if (whole != *number && fits != stored.has_value())
        fuzz::Broken("a repaired number is stored exactly when it fits", repaired);
    if (whole != *number && stored && *stored != whole)
        fuzz::Broken("a repaired number is stored as its integer part", repaired);
    return 0;
}
