#include "shell/navigator/functions/DroppedFiles.h"

#include "platform/exchange/FileListCodec.h"

#include <QMimeData>

#include <utility>

TFileNames FilesFromMimeData(const QMimeData* data)
{
    TFileNames files;
    if (!data || !data->hasFormat(kUriListMime))
        return files;
    for (std::string& path : UriListPaths(data->data(kUriListMime)))
        files.Add(std::move(path));
    return files;
}
