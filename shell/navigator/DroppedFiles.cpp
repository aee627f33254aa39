#include "shell/navigator/DroppedFiles.h"

#include "platform/exchange/FileListCodec.h"

#include <QMimeData>

#include <optional>
#include <string_view>
#include <utility>

TFileNames FilesFromMimeData(const QMimeData* data)
{
    TFileNames files;
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return files;
    const QByteArray list = data->data(QStringLiteral("text/uri-list"));
    for (QByteArray line : list.split('\n')) {
        while (!line.isEmpty() && (line.endsWith('\r') || line.endsWith('\0')))
            line.chop(1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (std::optional<std::string> path = LocalPathOfUri(std::string_view(line.constData(), std::size_t(line.size()))))
            files.Add(std::move(*path));
    }
    return files;
}
