#include "editing/cam_fields.h"

#include "config/cam_settings.h"
#include "diagnostics/error_scope.h"
#include "editing/help_display.h"
#include "platform/system/failure.h"
#include "platform/system/locale_number.h"
#include "platform/window/toolkit.h"

#include <cmath>
#include <cstdlib>

const editing::CamFamily editing::kCamFamilies[kCamFamilyCount] = {
    { "TextScalaAnfang", config::kCamArrays[0], 13, 330, "scale begin" },
    { "TextScalaEnde", config::kCamArrays[1], 14, 990, "scale end" },
    { "TextEinheit", config::kCamArrays[2], 15, 1800, "unit" },
};

double editing::LeadingNumber(const std::string& text)
{
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;
    size_t end = 0;
    if (end < compact.size() && (compact[end] == '+' || compact[end] == '-'))
        ++end;
    size_t digits = 0;
    for (bool point = false; end < compact.size(); ++end) {
        char c = compact[end];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return 0;
    if (end < compact.size() && (compact[end] == 'e' || compact[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < compact.size() && (compact[exponent] == '+' || compact[exponent] == '-'))
            ++exponent;
        if (exponent < compact.size() && compact[exponent] >= '0' && compact[exponent] <= '9') {
            end = exponent;
            while (end < compact.size() && compact[end] >= '0' && compact[end] <= '9')
                ++end;
        }
    }
    return std::strtod(compact.substr(0, end).c_str(), nullptr);
}

short editing::RoundToInteger(double value)
{
    double rounded = std::nearbyint(value);
    if (!(rounded >= -32768 && rounded <= 32767))
        platform::Raise(platform::kOverflow);
    return static_cast<short>(rounded);
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
    const auto skip = [&](auto accept) {
        while (at < text.size() && accept(text[at]))
            ++at;
    };
    const auto skipOne = [&](auto accept) {
        if (at < text.size() && accept(text[at]))
            ++at;
    };
    const auto isSign = [](char c) { return c == '+' || c == '-'; };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    skipOne(isSign);
    skip(isDigit);
    if (!separator.empty() && text.compare(at, separator.size(), separator) == 0) {
        at += separator.size();
        skip(isDigit);
    }
    skipOne([](char c) { return c == 'e' || c == 'E'; });
    skipOne(isSign);
    return at == text.size() && !platform::LocaleNumber(text) && platform::LocaleNumber(text + "1");
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
    const auto showModelValue = [&] {
        scope.Run([&] { box->SetText(std::to_string(ModelValue(family, index))); });
    };
    if (std::optional<double> number = platform::LocaleNumber(text)) {
        scope.Run([&] {
            double whole = std::floor(*number);
            if (whole != *number)
                box->SetText(DecimalText(whole));
        });
        // A value that could not be stored is not shown either: the box shows what will be saved.
        if (!scope.Run(
                [&] { ModelValue(family, index) = RoundToInteger(LeadingNumber(box->Text())); }))
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
        if (box.Text().empty() || IsPartialNumber(box.Text()))
            box.SetText(std::to_string(ModelValue(family, index)));
    });
}

void editing::CamField_Click(const CamFamily& family, int index)
{
    if (platform::Control* box = platform::FindControl(family.controlName, index))
        ShowHelpText(*box);
}
