#include "editing/cam_fields.h"

#include "diagnostics/error_scope.h"
#include "editing/help_display.h"
#include "platform/failure.h"
#include "platform/locale_number.h"
#include "platform/toolkit.h"

#include <cmath>
#include <cstdlib>

const editing::CamFamily editing::kCamFamilies[kCamFamilyCount] = {
    { "TextScalaAnfang", dialog::kCamArrays[0], 13, 330 },
    { "TextScalaEnde", dialog::kCamArrays[1], 14, 990 },
    { "TextEinheit", dialog::kCamArrays[2], 15, 1800 },
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
    dialog::CamModel& model = dialog::Model();
    return dialog::CamCell(model.*family.array.values, model.CurrentMachine, index);
}

static std::string DecimalText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
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
    if (std::optional<double> number = platform::LocaleNumber(text)) {
        scope.Run([&] {
            double whole = std::floor(*number);
            if (whole != *number)
                box->SetText(DecimalText(whole));
        });
        scope.Run([&] { ModelValue(family, index) = RoundToInteger(LeadingNumber(box->Text())); });
    } else {
        scope.Run([&] { box->SetText(std::to_string(ModelValue(family, index))); });
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
        if (box.Text().empty())
            box.SetText(std::to_string(ModelValue(family, index)));
    });
}

void editing::CamField_Click(const CamFamily& family, int index)
{
    if (platform::Control* box = platform::FindControl(family.controlName, index))
        ShowHelpText(*box);
}
