// Numbers as the user types them, in the user's locale.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The text read as a number under the user's locale (its decimal and group separators, an
// optional sign and exponent; blanks, tabs and line feeds around it allowed); nothing when it is
// not a number.
std::optional<double> LocaleNumber(const std::string& text);

// The user's locale's decimal separator, UTF-8 ("." or "," in most locales).
std::string LocaleDecimalSeparator();

}
