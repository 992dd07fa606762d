#include "platform/system/locale_number.h"

#include <QLocale>
#include <cmath>

std::optional<double> platform::LocaleNumber(const std::string& text)
{
    bool ok = false;
    double value = QLocale().toDouble(QString::fromUtf8(text).trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string platform::LocaleDecimalSeparator()
{
    return QLocale().decimalPoint().toUtf8().toStdString();
}
