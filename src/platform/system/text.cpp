#include "platform/system/text.h"

#include "platform/system/text_encoding.h"

#include <QChar>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

// One character of a text: its code point and the bytes it takes.
struct Letter {
    char32_t code;
    size_t begin;
    size_t end;
};

// The length of the UTF-8 sequence at `at` and its code point; 0 when it is not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
static size_t Utf8Sequence(std::string_view text, size_t at, char32_t& code)
{
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80 ? 1
        : (lead >> 5) == 0x6    ? 2
        : (lead >> 4) == 0xE    ? 3
        : (lead >> 3) == 0x1E   ? 4
                                : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static const char32_t kSmallest[5] = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

static bool IsUtf8(std::string_view text)
{
    char32_t code;
    for (size_t at = 0, length; at < text.size(); at += length)
        if ((length = Utf8Sequence(text, at, code)) == 0)
            return false;
    return true;
}

static std::vector<Letter> Letters(std::string_view text, bool utf8)
{
    std::vector<Letter> letters;
    letters.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        char32_t code = Windows1252Character(static_cast<unsigned char>(text[at]));
        size_t length = utf8 ? Utf8Sequence(text, at, code) : 1;
        letters.push_back({ code, at, at + length });
        at += length;
    }
    return letters;
}

static std::vector<Letter> Letters(std::string_view text) { return Letters(text, IsUtf8(text)); }

static std::vector<char32_t> Folded(const std::vector<Letter>& letters)
{
    std::vector<char32_t> folded;
    folded.reserve(letters.size());
    for (const Letter& letter : letters)
        folded.push_back(QChar::toCaseFolded(letter.code));
    return folded;
}

static void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    static const unsigned char kLead[5] = { 0, 0, 0xC0, 0xE0, 0xF0 };
    out += static_cast<char>(kLead[length] | (code >> (6 * (length - 1))));
    for (int i = length - 2; i >= 0; --i)
        out += static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F));
}

// The Windows-1252 byte of `code`; false when that code page has none.
static bool Cp1252Byte(char32_t code, char& byte)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        byte = static_cast<char>(code);
        return true;
    }
    for (unsigned char high = 0x80; high < 0xA0; ++high)
        if (Windows1252Character(high) == code) {
            byte = static_cast<char>(high);
            return true;
        }
    return false;
}

static bool IsAscii(std::string_view text)
{
    return std::all_of(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

static char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Folding goes to lower case, so ASCII texts sort as the folded code points of any other text.
static char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

static int FullCompare(std::string_view a, std::string_view b)
{
    std::vector<char32_t> x = Folded(Letters(a)), y = Folded(Letters(b));
    return x < y ? -1 : x > y ? 1 : 0;
}

std::string AsciiUpperCase(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper;
}

std::string UpperCase(std::string_view text)
{
    if (IsAscii(text))
        return AsciiUpperCase(text);
    std::string upper;
    upper.reserve(text.size());
    bool utf8 = IsUtf8(text);
    for (const Letter& letter : Letters(text, utf8)) {
        char32_t code = QChar::toUpper(letter.code);
        char byte;
        if (utf8)
            AppendUtf8(upper, code);
        else if (Cp1252Byte(code, byte))
            upper += byte;
        else
            upper.append(text.substr(letter.begin, letter.end - letter.begin));
    }
    return upper;
}

int CompareIgnoringCase(std::string_view a, std::string_view b)
{
    // ASCII letters, the most, fold byte by byte; the first other byte hands both texts to the
    // full folding. Before it the two decodings of a text agree, so the first difference decides.
    // Stretches of eight equal ASCII bytes, as in names that share a long beginning, are passed
    // at once.
    size_t i = 0;
    for (uint64_t x, y; i + 8 <= a.size() && i + 8 <= b.size(); i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y || (x & 0x8080808080808080u) != 0)
            break;
    }
    for (; i < a.size() && i < b.size(); ++i) {
        unsigned char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
        if (x >= 0x80 || y >= 0x80)
            return FullCompare(a, b);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return CompareIgnoringCase(a, b) == 0;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

std::string FoldedCase(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    if (IsAscii(text)) {
        for (char c : text)
            folded += AsciiLower(c);
        return folded;
    }
    for (char32_t code : Folded(Letters(text)))
        AppendUtf8(folded, code);
    return folded;
}

std::optional<TextSpan> FindIgnoringCase(std::string_view text, std::string_view search)
{
    // Most texts are plain ASCII: their letters fold one byte to one byte.
    if (IsAscii(text) && IsAscii(search)) {
        auto found = std::search(text.begin(), text.end(), search.begin(), search.end(),
            [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
        if (found == text.end() && !search.empty())
            return std::nullopt;
        size_t begin = static_cast<size_t>(found - text.begin());
        return TextSpan { begin, begin + search.size() };
    }
    std::vector<Letter> letters = Letters(text);
    std::vector<char32_t> haystack = Folded(letters), needle = Folded(Letters(search));
    auto found = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    if (found == haystack.end() && !needle.empty())
        return std::nullopt;
    size_t first = static_cast<size_t>(found - haystack.begin());
    size_t begin = first < letters.size() ? letters[first].begin : text.size();
    size_t end = needle.empty() ? begin : letters[first + needle.size() - 1].end;
    return TextSpan { begin, end };
}

std::string NumberText(double number, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*G", digits, number);
    return text;
}

std::optional<double> ReadDecimal(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    // Only digits, one point and an exponent: from_chars would also take "inf" and "nan".
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string_view::npos
        || text.front() == '+' || text.front() == '-')
        return std::nullopt;
    double number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number))
        return std::nullopt;
    return negative ? -number : number;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

}
