#include "platform/commands/TThumbnailExtractor.h"

#include "platform/core/text/FileUri.h"
#include "platform/core/system/LastError.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <sys/stat.h>

namespace {

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

// `size` shrunk to fit into `box` with its proportions kept; never enlarged.
QSize FitInto(const QSize& size, const QSize& box)
{
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage FitImage(const QImage& image, const QSize& box)
{
    const QSize fitted = FitInto(image.size(), box);
    return fitted == image.size() ? image : image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

TThumbnailExtractor::TThumbnailExtractor(std::string path, TThumbnailCache cache)
    : path_(std::move(path))
    , cache_(std::move(cache))
{
}

TShellResult TThumbnailExtractor::GetLocation(const QSize& size, std::uint32_t, std::string& location)
{
    size_ = size.width() > 0 && size.height() > 0 ? size : QSize(kDefaultEdge, kDefaultEdge);
    location = path_;
    return TShellResult::Ok();
}

TShellResult TThumbnailExtractor::Extract(QImage& image)
{
    image = QImage();
    struct stat status;
    if (::stat(path_.c_str(), &status) != 0)
        return Failure(errno);
    if (!S_ISREG(status.st_mode))
        return Failure(ENOTSUP);

    TThumbnailCache::TFlavor flavor;
    const std::string uri = FileUriFromPath(path_);
    const bool cached =
        !uri.empty() && !LiesInCache() && TThumbnailCache::FlavorFor(size_.width(), size_.height(), flavor);
    if (!cached) {
        image = FitImage(Decode(std::max(size_.width(), size_.height())), size_);
        return image.isNull() ? Failure(ENOTSUP) : TShellResult::Ok();
    }

    QImage thumbnail = cache_.Lookup(uri, status.st_mtim.tv_sec, flavor);
    if (thumbnail.isNull()) {
        thumbnail = Decode(TThumbnailCache::EdgeOf(flavor));
        if (thumbnail.isNull())
            return Failure(ENOTSUP);
        // A cache that cannot be written costs speed, not the picture.
        static_cast<void>(
            cache_.Store(uri, status.st_mtim.tv_sec, static_cast<std::uint64_t>(status.st_size), flavor, thumbnail));
    }
    image = FitImage(thumbnail, size_);
    return TShellResult::Ok();
}

QImage TThumbnailExtractor::Decode(int edge) const
{
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path_)));
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid()) {
        // The scaled size applies to the picture as stored, before it is turned.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize shown = turned ? stored.transposed() : stored;
        const QSize fitted = FitInto(shown, QSize(edge, edge));
        reader.setScaledSize(turned ? fitted.transposed() : fitted);
    }
    // Formats that cannot decode at a reduced size give the full picture.
    return FitImage(reader.read(), QSize(edge, edge));
}

bool TThumbnailExtractor::LiesInCache() const
{
    // The cache's own pictures get no thumbnails of their own.
    const std::string& root = cache_.Root();
    return path_.size() > root.size() && path_.compare(0, root.size(), root) == 0 && path_[root.size()] == '/';
}
