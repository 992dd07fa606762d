// Texts from files as the window shows them.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace platform {

// The character a Windows-1252 byte stands for.
char32_t Windows1252Character(unsigned char byte);

// UTF-8, or Windows-1252 where the bytes are not valid UTF-8 (files written on Windows).
QString DecodeText(const std::string& bytes);

// The UTF-16LE byte-order mark that Windows editors begin "Unicode" text with.
inline constexpr const char kUtf16Mark[] = "\xFF\xFE";

// UTF-16LE bytes (without the mark) as UTF-8; nothing when they are no valid UTF-16.
std::optional<std::string> Utf16ToUtf8(const std::string& bytes);

// UTF-8 text as UTF-16LE bytes (without the mark).
std::string Utf8ToUtf16(const std::string& text);

}
