#pragma once

#include <QImage>

#include <cstdint>
#include <string>

// The thumbnail cache that the desktop's programs share
// ($XDG_CACHE_HOME/thumbnails): one PNG per file and size, named after the
// MD5 of the file's URI, carrying the URI and the file's modification time as
// the text keys Thumb::URI and Thumb::MTime. A thumbnail whose keys do not
// match the file as it is now is stale and not used.
//
// Thread-safe: every call works on files only, and a thumbnail is written to
// a temporary file beside its place and renamed, so readers never see half
// of one.
class TThumbnailCache
{
public:
    // The two sizes of the cache: "normal" fits 128 x 128, "large" 256 x 256.
    enum class TFlavor { Normal, Large };

    // The cache below $XDG_CACHE_HOME (~/.cache) as it is set now.
    TThumbnailCache();
    // A cache below `root` (the folder that holds "normal" and "large").
    explicit TThumbnailCache(std::string root);

    const std::string& Root() const { return root_; }
    // The edge a flavor fits its thumbnails into (128 or 256).
    static int EdgeOf(TFlavor flavor);
    // The smallest flavor that holds a picture of width x height without
    // enlarging it; false when the request is larger than the large flavor.
    [[nodiscard]] static bool FlavorFor(int width, int height, TFlavor& flavor);

    // Where the thumbnail of `uri` is kept: ROOT/normal/<md5 of uri>.png.
    std::string ThumbnailPath(const std::string& uri, TFlavor flavor) const;

    // The cached thumbnail of `uri` for a file last modified at `modified`
    // (seconds since the epoch); a null image when there is none or it is stale.
    QImage Lookup(const std::string& uri, std::int64_t modified, TFlavor flavor) const;

    // Stores `thumbnail` (already fitted into the flavor's edge) with its keys;
    // folders are made with mode 0700, the file gets 0600. False when it could
    // not be written; nothing half-written remains then.
    [[nodiscard]] bool Store(const std::string& uri, std::int64_t modified, std::uint64_t fileSize, TFlavor flavor,
                             const QImage& thumbnail) const;

private:
    std::string FlavorDirectory(TFlavor flavor) const;

    std::string root_;
};
