#include "app/forms/ReadableSize.h"

#include <QLocale>

#include <array>

QString ReadableSize(std::uint64_t bytes)
{
    constexpr double kStep = 1024;
    static const std::array<QString, 6> kUnits{QStringLiteral("KiB"), QStringLiteral("MiB"), QStringLiteral("GiB"),
                                               QStringLiteral("TiB"), QStringLiteral("PiB"), QStringLiteral("EiB")};
    const QLocale german(QLocale::German, QLocale::Germany);
    if (bytes < 1024)
        return german.toString(qulonglong(bytes)) + (bytes == 1 ? QStringLiteral(" Byte") : QStringLiteral(" Bytes"));
    double value = double(bytes);
    std::size_t unit = 0;
    for (value /= kStep; value >= kStep && unit + 1 < kUnits.size(); value /= kStep)
        ++unit;
    return german.toString(value, 'f', 2) + QLatin1Char(' ') + kUnits[unit];
}
