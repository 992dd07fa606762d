#include "platform/system/text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
static const char16_t kCp1252High[32]
    = { 0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
          0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178 };

char32_t Windows1252Character(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

QString DecodeText(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text
        = utf8(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes)
        text.append(QChar(static_cast<char16_t>(Windows1252Character(c))));
    return text;
}

std::optional<std::string> Utf16ToUtf8(const std::string& bytes)
{
    QStringDecoder utf16(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
    QString text
        = utf16(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf16.hasError() || bytes.size() % 2 != 0)
        return std::nullopt;
    return text.toUtf8().toStdString();
}

std::string Utf8ToUtf16(const std::string& text)
{
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::Stateless);
    QByteArray bytes = utf16(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return bytes.toStdString();
}

}
