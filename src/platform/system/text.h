// Text helpers on 8-bit strings, as the program compares texts. A text is read as UTF-8, or as
// Windows-1252 where its bytes are not valid UTF-8; letters compare by their simple case
// folding, so "Füller" and "FÜLLER" are the same name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Each letter in its simple upper case, written back in the text's own encoding; a letter whose
// upper case that encoding cannot hold stays as it is.
std::string UpperCase(std::string_view text);

// Below zero, zero or above zero as `a` sorts before, with or after `b`, letters compared
// without regard to case.
int CompareIgnoringCase(std::string_view a, std::string_view b);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Only the letters A to Z compared without regard to case, as SQLite compares names; every other
// byte must be equal.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The text with the letters a to z in upper case; every other byte as it is.
std::string AsciiUpperCase(std::string_view text);

// The text with each letter folded, so that two texts are equal ignoring case exactly when their
// folded forms are equal.
std::string FoldedCase(std::string_view text);

// The bytes [begin, end) of a text that a search found.
struct TextSpan {
    size_t begin = 0;
    size_t end = 0;
};

// The first occurrence of `search` in `text`, letters compared without regard to case.
std::optional<TextSpan> FindIgnoringCase(std::string_view text, std::string_view search);

// A number as the original writes it in a text, whatever the locale: up to `digits` significant
// digits, an exponent for the very large and the very small ("1E+20", "1E-05"), no trailing zeros
// ("0.5", "5").
std::string NumberText(double number, int digits);

// The text read as a decimal number, whatever the locale: blanks around it, an optional sign,
// digits with one point, an optional exponent ("12.5", " -3 ", "1E3", ".5"); nothing for any
// other text, infinities and NaNs among them.
std::optional<double> ReadDecimal(std::string_view text);

// The text without its leading and trailing spaces; tabs and other blanks stay.
std::string_view TrimSpaces(std::string_view text);

}
