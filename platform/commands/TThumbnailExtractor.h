#pragma once

#include "platform/commands/IExtractImage.h"
#include "platform/commands/TThumbnailCache.h"

#include <string>

// The thumbnail of a file: image files are decoded with QImageReader at a
// reduced size (turned as their orientation tag says) and kept in the shared
// thumbnail cache, which is asked first. Requests up to 256 x 256 go through
// the cache; larger ones decode the file each time. Anything that is not a
// regular file the reader understands gives none (a FIFO is never opened).
class TThumbnailExtractor final : public IExtractImage
{
public:
    // `path` is the absolute path of the file (native bytes); `cache` the
    // cache to use.
    explicit TThumbnailExtractor(std::string path, TThumbnailCache cache = TThumbnailCache());

    TShellResult GetLocation(const QSize& size, std::uint32_t flags, std::string& location) override;
    TShellResult Extract(QImage& image) override;

private:
    // The file decoded to fit into `edge` x `edge` without enlarging it.
    QImage Decode(int edge) const;
    bool LiesInCache() const;

    std::string path_;
    TThumbnailCache cache_;
    QSize size_{kDefaultEdge, kDefaultEdge};

    // The size asked for when a request names none.
    static constexpr int kDefaultEdge = 200;
};
