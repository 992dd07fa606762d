#include "editing/cam_fields.h"

#include "diagnostics/error_scope.h"
#include "editing/help_display.h"
#include "platform/system/failure.h"
#include "platform/system/locale_number.h"
#include "platform/window/toolkit.h"

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string_view>
#include <utility>

const editing::CamFamily editing::kCamFamilies[kCamFamilyCount] = {
    { "TextScalaAnfang", config::kCamArrays[0], 13, 330, "scale begin" },
    { "TextScalaEnde", config::kCamArrays[1], 14, 990, "scale end" },
    { "TextEinheit", config::kCamArrays[2], 15, 1800, "unit" },
};

// The signs the locale's reading takes in every locale: the ASCII ones and the minus sign of
// typesetting, which PDF files, word processors and web pages give when a value is copied.
static const std::pair<std::string_view, char> kSigns[]
    = { { "+", '+' }, { "-", '-' }, { "\u2212", '-' } };

// The sign at `at` of `text` as '+' or '-', with `at` moved past it; 0 when there is none.
static char ReadSign(std::string_view text, size_t& at)
{
    for (const auto& [form, sign] : kSigns)
        if (text.substr(at).starts_with(form)) {
            at += form.size();
            return sign;
        }
    return 0;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<double> editing::LeadingNumber(const std::string& text)
{
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;
    size_t at = 0;
    std::string number; // what was read, in ASCII
    if (char sign = ReadSign(compact, at))
        number += sign;
    size_t digits = 0;
    for (bool point = false; at < compact.size(); ++at) {
        char c = compact[at];
        if (IsDigit(c))
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
        number += c;
    }
    if (digits == 0)
        return std::nullopt;
    if (at < compact.size() && (compact[at] == 'e' || compact[at] == 'E')) {
        std::string exponent = "e";
        ++at;
        if (char sign = ReadSign(compact, at))
            exponent += sign;
        for (; at < compact.size() && IsDigit(compact[at]); ++at)
            exponent += compact[at];
        if (IsDigit(exponent.back()))
            number += exponent;
    }
    // Read in the C locale: the program runs in the user's, where strtod would take a German
    // "1.500" for 1. Beyond a double's range the stream gives the largest double, which no
    // 16-bit integer holds either.
    std::istringstream reading(number);
    reading.imbue(std::locale::classic());
    double value = 0;
    reading >> value;
    return value;
}

std::optional<double> editing::NumberTest(const std::string& text)
{
    std::optional<double> number = platform::LocaleNumber(text);
    // A number that is not whole is replaced by its integer part before it is read.
    if (number && *number == std::floor(*number) && !LeadingNumber(text))
        return std::nullopt;
    return number;
}

short editing::RoundToInteger(double value)
{
    return static_cast<short>(platform::RoundToWhole(value, -32768, 32767));
}

static std::string HandlerName(const editing::CamFamily& family, const char* event)
{
    return std::string(family.controlName) + "_" + event;
}

static platform::Control& Box(const editing::CamFamily& family, int index)
{
    platform::Control* box = platform::FindControl(family.controlName, index);
    if (!box)
        platform::Raise(platform::kSubscriptOutOfRange);
    return *box;
}

static short& ModelValue(const editing::CamFamily& family, int index)
{
    config::CamModel& model = config::Model();
    return config::CamCell(model.*family.array.values, model.CurrentMachine, index);
}

static std::string DecimalText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// A text that is not a number yet but becomes one as typing goes on: a sign, a decimal
// separator or an exponent mark ("-", "5,", "1e-") that the next digit completes. Left alone,
// so that negative numbers and exponents can be typed key by key.
static bool IsPartialNumber(const std::string& text)
{
    const std::string separator = platform::LocaleDecimalSeparator();
    size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos)
        return false;
    const auto skipDigits = [&] {
        while (at < text.size() && IsDigit(text[at]))
            ++at;
    };
    ReadSign(text, at);
    skipDigits();
    if (!separator.empty() && text.compare(at, separator.size(), separator) == 0) {
        at += separator.size();
        skipDigits();
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E'))
        ++at;
    ReadSign(text, at);
    return at == text.size() && !editing::NumberTest(text) && editing::NumberTest(text + "1");
}

void editing::CamField_Change(const CamFamily& family, int index)
{
    diagnostics::ErrorScope scope(HandlerName(family, "Change"));
    platform::Control* box = nullptr;
    std::string text;
    scope.Run([&] {
        box = &Box(family, index);
        text = box->Text();
    });
    if (!box)
        return;
    if (text.empty()) {
        scope.Run([&] { ModelValue(family, index) = family.array.fallback; });
        scope.Run([&] { box->SetText(std::to_string(family.array.fallback)); });
        scope.Run([&] { box->SetCaretPosition(family.array.fallback); });
        return;
    }
    const auto showModelValue
        = [&] { scope.Run([&] { box->SetText(std::to_string(ModelValue(family, index))); }); };
    if (std::optional<double> number = NumberTest(text)) {
        scope.Run([&] {
            double whole = std::floor(*number);
            if (whole != *number)
                box->SetText(DecimalText(whole));
        });
        // A value that could not be stored is not shown either: the box shows what will be saved.
        if (!scope.Run([&] {
                ModelValue(family, index) = RoundToInteger(LeadingNumber(box->Text()).value_or(0));
            }))
            showModelValue();
    } else if (IsPartialNumber(text)) {
        return;
    } else {
        showModelValue();
        scope.Run([&] { box->SetCaretPosition(static_cast<int>(box->Text().size())); });
    }
    scope.Run([&] { box->SetCaretPosition(static_cast<int>(box->Text().size()) + 1); });
}

void editing::CamField_GotFocus(const CamFamily& family, int index)
{
    diagnostics::ErrorScope scope(HandlerName(family, "GotFocus"));
    scope.Run([&] {
        platform::Control& box = Box(family, index);
        box.SetCaretPosition(0);
        box.SetSelectionLength(static_cast<int>(box.Text().size()));
    });
}

void editing::CamField_LostFocus(const CamFamily& family, int index)
{
    diagnostics::ErrorScope scope(HandlerName(family, "LostFocus"));
    scope.Run([&] {
        platform::Control& box = Box(family, index);
        box.SetText(std::to_string(ModelValue(family, index)));
    });
}

void editing::CamField_Click(const CamFamily& family, int index)
{
    if (platform::Control* box = platform::FindControl(family.controlName, index))
        ShowHelpText(*box);
}
