#include "platform/dialogs/PropertyTexts.h"

#include <QDateTime>
#include <QLocale>

#include <array>
#include <cmath>
#include <sys/stat.h>

namespace {

QLocale German()
{
    return QLocale(QLocale::German, QLocale::Germany);
}

// A bit shown as `letter`, combined with a special bit as ls does it.
QChar PermissionLetter(unsigned mode, unsigned bit, char letter, unsigned special, char specialLetter)
{
    const bool set = mode & bit;
    if (mode & special)
        return QChar(set ? specialLetter : QChar(specialLetter).toUpper());
    return set ? QChar(letter) : QChar('-');
}

}  // namespace

QString FormatByteSizeText(std::uint64_t bytes)
{
    const QLocale german = German();
    const QString exact = german.toString(static_cast<qulonglong>(bytes)) + (bytes == 1 ? " Byte" : " Bytes");
    // Below a thousand the exact count says it all.
    if (bytes < 1000)
        return exact;
    static constexpr std::array kUnits = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < kUnits.size()) {
        value /= 1024.0;
        ++unit;
    }
    const int decimals = value < 10.0 ? 2 : (value < 100.0 ? 1 : 0);
    const double scale = std::pow(10.0, decimals);
    value = std::floor(value * scale) / scale;
    return german.toString(value, 'f', decimals) + " " + kUnits[unit] + " (" + exact + ")";
}

QString FormatCountText(std::uint64_t files, std::uint64_t folders)
{
    const QLocale german = German();
    return german.toString(static_cast<qulonglong>(files)) + (files == 1 ? " Datei, " : " Dateien, ") +
           german.toString(static_cast<qulonglong>(folders)) + " Ordner";
}

QString FormatLongDateText(const struct timespec& time)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(time.tv_sec);
    return German().toString(local, QStringLiteral("dddd, d. MMMM yyyy, HH:mm:ss"));
}

QString FormatPermissionText(unsigned mode)
{
    QString text;
    text += PermissionLetter(mode, S_IRUSR, 'r', 0, 'r');
    text += PermissionLetter(mode, S_IWUSR, 'w', 0, 'w');
    text += PermissionLetter(mode, S_IXUSR, 'x', S_ISUID, 's');
    text += PermissionLetter(mode, S_IRGRP, 'r', 0, 'r');
    text += PermissionLetter(mode, S_IWGRP, 'w', 0, 'w');
    text += PermissionLetter(mode, S_IXGRP, 'x', S_ISGID, 's');
    text += PermissionLetter(mode, S_IROTH, 'r', 0, 'r');
    text += PermissionLetter(mode, S_IWOTH, 'w', 0, 'w');
    text += PermissionLetter(mode, S_IXOTH, 'x', S_ISVTX, 't');
    return text;
}
