#include "shell/navigator/functions/ShellNames.h"

#include <QFile>

#include <algorithm>

namespace {

bool SameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Wildcard match with backtracking to the last "*": linear in practice and
// never worse than name length times pattern length.
bool WildcardMatch(const QString& name, const QString& pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesFilter(const QString& name, const QString& pattern)
{
    if (pattern == QLatin1String("*.*"))
        return name.contains(u'.');
    return WildcardMatch(name, pattern);
}

QString StrRetToString(const std::string& name)
{
    // Most names are plain ASCII, which every local encoding reads alike: no
    // decoder and no copy of the bytes (a folder of 100 000 names asks for all).
    if (std::all_of(name.begin(), name.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; }))
        return QString::fromLatin1(name.data(), qsizetype(name.size()));
    return QFile::decodeName(QByteArray::fromRawData(name.data(), qsizetype(name.size())));
}
