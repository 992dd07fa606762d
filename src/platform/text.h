// Text helpers on 8-bit strings: case folding and blanks, as the program compares texts.
#pragma once

#include <string>

namespace platform {

// ASCII letters upper-cased; other bytes unchanged.
std::string UpperCase(std::string text);

bool IsBlank(char c);

// Leading and trailing blanks (space, tab) removed.
std::string Trim(const std::string& text);

}
