// The 120 cam value fields: three families of 40 text boxes that validate, repair and store
// every edit into the cam model at once.
#pragma once

#include "config/cam_settings.h"

#include <optional>
#include <string>

namespace editing {

// What tells the three families apart.
struct CamFamily {
    const char* controlName; // TextScalaAnfang, TextScalaEnde, TextEinheit
    const config::CamArray& array; // its fallback is also the caret position after it
    long helpId;
    int left; // column within the frame, twips
    const char* spokenName; // in the boxes' accessible names: "scale begin", "scale end", "unit"
};

inline constexpr int kCamFamilyCount = 3;
extern const CamFamily kCamFamilies[kCamFamilyCount];

// Each handler serves one event of all three families; a report of its failure names the
// family's own handler: control, underscore, event.

// TextScalaAnfang_Change, TextScalaEnde_Change, TextEinheit_Change. Text changed: empty -> the
// fallback; a number -> its integer part into the model (a value that does not fit is reported
// and the box shows the model's value again); a number still being typed ("-", "5.", "1e-") ->
// left alone, text and caret; anything else -> the model's value back into the box. Re-entered
// when the handler sets the text.
void CamField_Change(const CamFamily& family, int index);

// TextScalaAnfang_GotFocus, TextScalaEnde_GotFocus, TextEinheit_GotFocus. Focus received:
// selects the whole text.
void CamField_GotFocus(const CamFamily& family, int index);

// TextScalaAnfang_LostFocus, TextScalaEnde_LostFocus, TextEinheit_LostFocus. Focus lost: the
// box shows the model's value whenever its text is another ("", "-", "1e3" or a German
// "1.000"), so that what is left in view is what will be saved.
void CamField_LostFocus(const CamFamily& family, int index);

// TextScalaAnfang_Click, TextScalaEnde_Click, TextEinheit_Click. Clicked: the help text in help
// mode.
void CamField_Click(const CamFamily& family, int index);

// The number test: `text` read as a number under the user's locale; refused where that number
// is whole but LeadingNumber finds no digits in the text, so that no number is stored as 0 that
// the box shows as another (the digits of an Arabic locale).
std::optional<double> NumberTest(const std::string& text);

// The leading number of `text` read independently of the locale: blanks, tabs and line feeds
// are ignored, then an optional sign ("+", "-" or the minus sign U+2212), digits, one point and
// an exponent; nothing without digits.
std::optional<double> LeadingNumber(const std::string& text);

// `value` rounded to the nearest integer, halves to the even one, as a 16-bit integer; raises an
// overflow outside -32768 to 32767.
short RoundToInteger(double value);

}
