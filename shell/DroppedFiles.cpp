#include "shell/DroppedFiles.h"

#include "platform/PercentEncoding.h"

#include <QMimeData>

#include <optional>
#include <string_view>

namespace {

// The path of a local "file:" URI, or nothing.
std::optional<std::string> LocalPathOf(std::string_view uri)
{
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size() || QByteArray(uri.data(), qsizetype(kScheme.size())).toLower() != "file://")
        return std::nullopt;
    uri.remove_prefix(kScheme.size());
    const std::size_t pathStart = uri.find('/');
    if (pathStart == std::string_view::npos)
        return std::nullopt;
    const std::string_view host = uri.substr(0, pathStart);
    if (!host.empty() && host != "localhost")
        return std::nullopt;
    std::string_view path = uri.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    return PercentDecode(path);
}

} // namespace

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
        if (std::optional<std::string> path = LocalPathOf(std::string_view(line.constData(), std::size_t(line.size()))))
            files.Add(std::move(*path));
    }
    return files;
}
