// Texts from files as the window shows them.
#pragma once

#include <QString>
#include <string>

namespace platform {

// The character a Windows-1252 byte stands for.
char32_t Windows1252Character(unsigned char byte);

// UTF-8, or Windows-1252 where the bytes are not valid UTF-8 (files written on Windows).
QString DecodeText(const std::string& bytes);

}
