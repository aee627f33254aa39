#include "platform/icons/IconTheme.h"

#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QStringList>

namespace {

const QString kDefaultThemeName = QStringLiteral("Adwaita");
const QString kDefaultFallbackThemeName = QStringLiteral("hicolor");

QStringList ThemeSearchPaths()
{
    QStringList paths = QIcon::themeSearchPaths();
    const auto addPath = [&paths](const QString& path) {
        if (!paths.contains(path))
            paths.append(path);
    };
    for (const QString& dataDir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        addPath(QDir(dataDir).filePath(QStringLiteral("icons")));
    addPath(QDir::home().filePath(QStringLiteral(".icons")));
    addPath(QStringLiteral("/usr/share/pixmaps"));
    return paths;
}

}  // namespace

bool IsMissingIconTheme(const QString& themeName)
{
    return themeName.isEmpty() || themeName == kDefaultFallbackThemeName;
}

bool ApplyIconThemeRule()
{
    if (!IsMissingIconTheme(QIcon::themeName()))
        return false;
    QIcon::setThemeSearchPaths(ThemeSearchPaths());
    QIcon::setThemeName(kDefaultThemeName);
    QIcon::setFallbackThemeName(kDefaultFallbackThemeName);
    return true;
}
