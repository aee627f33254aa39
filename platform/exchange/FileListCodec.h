#pragma once

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMimeData;

// File lists on the clipboard and in drags, in the formats other file managers
// write and read. Written:
//   text/uri-list                  one file URI per line, each line ended by CR LF
//   x-special/gnome-copied-files   "copy" or "cut", then "\n" and one URI per line
//   application/x-kde-cutselection "1" for a cut, "0" for a copy
//   text/plain                     the local paths, one per line
// Read, in this order of preference: the GNOME format; text/uri-list with the
// KDE cut flag; UTF-8 text starting with "x-special/nautilus-clipboard" (the
// GNOME format's lines in text/plain, as newer nautilus puts it). Lines are
// split at line ends; empty lines, "#" comments and trailing NUL bytes are
// dropped; URIs that name no local file, or not plainly, are left out (see
// LocalPathOfUri).

inline constexpr char kUriListMime[] = "text/uri-list";
inline constexpr char kGnomeCopiedFilesMime[] = "x-special/gnome-copied-files";
inline constexpr char kKdeCutSelectionMime[] = "application/x-kde-cutselection";
inline constexpr char kPlainTextMime[] = "text/plain";

struct TFileList
{
    std::vector<std::string> Paths;  // local paths, native bytes
    bool Cut = false;                // the files were cut: a paste moves them
};

// Paths go out as URIs made by FileUriFromPath (platform/core/text/FileUri.h).
// The local path a URI names ("file:///p" or "file://localhost/p"); nothing
// for other schemes, other hosts, malformed escapes and URIs that could name
// another item than they show: an inner NUL byte, an escaped NUL or slash
// ("%00", "%2F"), "." or ".." components.
std::optional<std::string> LocalPathOfUri(std::string_view uri);

// The local paths a text/uri-list payload names, read as every format's URI
// lines are read.
std::vector<std::string> UriListPaths(const QByteArray& payload);

// The payloads of each format; the paths are absolute.
QByteArray UriListPayload(const std::vector<std::string>& paths);
QByteArray GnomeCopiedFilesPayload(const std::vector<std::string>& paths, bool cut);
QByteArray PlainTextPayload(const std::vector<std::string>& paths);

// Puts every format on `data`.
void WriteFileList(QMimeData& data, const std::vector<std::string>& paths, bool cut);
// The files `data` carries; nothing when it carries none in any format.
std::optional<TFileList> ReadFileList(const QMimeData& data);
