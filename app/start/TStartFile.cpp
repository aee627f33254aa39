#include "app/start/TStartFile.h"

#include <QFileInfo>
#include <QUrl>

TStartFile TStartFile::Check(const QString& argument)
{
    TStartFile result;
    if (argument.isEmpty())
        return result;
    const QString name = argument.startsWith(QLatin1String("file://")) ? QUrl(argument).toLocalFile() : argument;
    const QFileInfo info(name);
    if (!info.exists())
        result.problem_ = QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(name);
    else if (!info.isFile() && !info.isDir())
        result.problem_ = QStringLiteral("„%1“ ist keine gewöhnliche Datei.").arg(name);
    else {
        result.path_ = info.absoluteFilePath();
        result.isFolder_ = info.isDir();
    }
    return result;
}
