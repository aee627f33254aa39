#include "platform/exchange/FileListCodec.h"

#include "platform/core/text/FileUri.h"
#include "platform/core/text/PercentEncoding.h"

#include <QMimeData>

namespace {

constexpr std::string_view kFileScheme = "file://";
constexpr std::string_view kNautilusMarker = "x-special/nautilus-clipboard";
// A file list as plain text longer than this (some 60 000 long paths) is
// taken for text: a list cut short would paste only part of the files.
constexpr std::size_t kMaxPlainTextListBytes = 16 << 20;

std::string_view AsView(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The meaningful lines of a payload: split at "\n" (a CR before it goes too),
// without trailing NUL bytes, empty lines and comments. A NUL inside a line
// stays, for LocalPathOfUri to refuse the line.
std::vector<std::string_view> PayloadLines(std::string_view text)
{
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.remove_suffix(1);
        if (!line.empty() && line.front() != '#')
            lines.push_back(line);
    }
    return lines;
}

// "%2F" would make one name of the URI two components of the path.
bool HasEscapedSlash(std::string_view text)
{
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
        if (text.substr(at + 1, 1) == "2" && (text.substr(at + 2, 1) == "F" || text.substr(at + 2, 1) == "f"))
            return true;
    }
    return false;
}

// Absolute and without "." or ".." components: the path names the item the
// URI shows, and its last component is that item's name.
bool IsPlainAbsolutePath(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    while (!path.empty()) {
        path.remove_prefix(1);
        const std::string_view part = path.substr(0, path.find('/'));
        if (part == "." || part == "..")
            return false;
        path.remove_prefix(part.size());
    }
    return true;
}

std::vector<std::string> LocalPaths(const std::vector<std::string_view>& uris, std::size_t first)
{
    std::vector<std::string> paths;
    for (std::size_t i = first; i < uris.size(); ++i) {
        if (std::optional<std::string> path = LocalPathOfUri(uris[i]))
            paths.push_back(std::move(*path));
    }
    return paths;
}

// "copy" or "cut" followed by URIs; nothing when the first line is neither.
std::optional<TFileList> ReadGnomeLines(const std::vector<std::string_view>& lines)
{
    if (lines.empty() || (lines[0] != "copy" && lines[0] != "cut"))
        return std::nullopt;
    TFileList list;
    list.Cut = lines[0] == "cut";
    list.Paths = LocalPaths(lines, 1);
    return list;
}

// Plain text is read on every context menu and may be anything the user
// copied: only its first line is looked at until it proves to be a file list.
std::optional<TFileList> ReadNautilusText(const QByteArray& text)
{
    std::string_view rest = AsView(text);
    const std::size_t end = rest.find('\n');
    std::string_view first = rest.substr(0, end);
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    if (first != kNautilusMarker || end == std::string_view::npos)
        return std::nullopt;
    rest.remove_prefix(end + 1);
    if (rest.size() > kMaxPlainTextListBytes)
        return std::nullopt;
    return ReadGnomeLines(PayloadLines(rest));
}

std::optional<TFileList> NonEmpty(std::optional<TFileList> list)
{
    if (list && list->Paths.empty())
        return std::nullopt;
    return list;
}

}  // namespace

std::optional<std::string> LocalPathOfUri(std::string_view uri)
{
    // Every system call would stop at an inner NUL while a dialog shows what follows it.
    if (uri.find('\0') != std::string_view::npos || uri.substr(0, kFileScheme.size()) != kFileScheme)
        return std::nullopt;
    std::string_view rest = uri.substr(kFileScheme.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost")
        return std::nullopt;
    rest = rest.substr(slash);
    // A query or fragment names no part of a file; "#" in a name is always escaped.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (HasEscapedSlash(rest))
        return std::nullopt;
    std::optional<std::string> path = PercentDecode(rest);  // refuses an escaped NUL
    if (!path || !IsPlainAbsolutePath(*path))
        return std::nullopt;
    return path;
}

std::vector<std::string> UriListPaths(const QByteArray& payload)
{
    return LocalPaths(PayloadLines(AsView(payload)), 0);
}

QByteArray UriListPayload(const std::vector<std::string>& paths)
{
    QByteArray payload;
    for (const std::string& path : paths) {
        payload += QByteArray::fromStdString(FileUriFromPath(path));
        payload += "\r\n";
    }
    return payload;
}

QByteArray GnomeCopiedFilesPayload(const std::vector<std::string>& paths, bool cut)
{
    QByteArray payload = cut ? "cut" : "copy";
    for (const std::string& path : paths) {
        payload += '\n';
        payload += QByteArray::fromStdString(FileUriFromPath(path));
    }
    return payload;
}

QByteArray PlainTextPayload(const std::vector<std::string>& paths)
{
    QByteArray payload;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i > 0)
            payload += '\n';
        payload += QByteArray::fromStdString(paths[i]);
    }
    return payload;
}

void WriteFileList(QMimeData& data, const std::vector<std::string>& paths, bool cut)
{
    data.setData(kUriListMime, UriListPayload(paths));
    data.setData(kGnomeCopiedFilesMime, GnomeCopiedFilesPayload(paths, cut));
    data.setData(kKdeCutSelectionMime, cut ? "1" : "0");
    data.setData(kPlainTextMime, PlainTextPayload(paths));
}

std::optional<TFileList> ReadFileList(const QMimeData& data)
{
    if (data.hasFormat(kGnomeCopiedFilesMime)) {
        const QByteArray payload = data.data(kGnomeCopiedFilesMime);
        if (std::optional<TFileList> list = NonEmpty(ReadGnomeLines(PayloadLines(AsView(payload)))))
            return list;
    }
    if (data.hasFormat(kUriListMime)) {
        TFileList list;
        list.Paths = UriListPaths(data.data(kUriListMime));
        const std::vector<std::string_view> flag = PayloadLines(AsView(data.data(kKdeCutSelectionMime)));
        list.Cut = !flag.empty() && flag[0] == "1";
        if (!list.Paths.empty())
            return list;
    }
    for (const QString& format : data.formats()) {
        if (format == kPlainTextMime ||
            format.startsWith(QStringLiteral("text/plain;charset=utf-8"), Qt::CaseInsensitive) ||
            format == QStringLiteral("UTF8_STRING")) {
            if (std::optional<TFileList> list = NonEmpty(ReadNautilusText(data.data(format))))
                return list;
        }
    }
    return std::nullopt;
}
