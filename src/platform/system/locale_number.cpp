#include "platform/system/locale_number.h"

#include <QLocale>
#include <cmath>

// Only the blanks, tabs and line feeds that the locale-independent reading skips may surround
// the number: a text that passed with other white space around it would be stored as 0.
static bool Skipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

std::optional<double> platform::LocaleNumber(const std::string& text)
{
    QString number = QString::fromUtf8(text);
    qsizetype begin = 0;
    qsizetype end = number.size();
    while (begin < end && Skipped(number[begin]))
        ++begin;
    while (end > begin && Skipped(number[end - 1]))
        --end;
    number = number.mid(begin, end - begin);
    if (!number.isEmpty() && (number.front().isSpace() || number.back().isSpace()))
        return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string platform::LocaleDecimalSeparator()
{
    return QLocale().decimalPoint().toUtf8().toStdString();
}
