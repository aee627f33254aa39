#include "platform/commands/TThumbnailCache.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNormalEdge = 128;
constexpr int kLargeEdge = 256;
constexpr mode_t kDirectoryMode = 0700;
constexpr const char* kUriKey = "Thumb::URI";
constexpr const char* kModifiedKey = "Thumb::MTime";
constexpr const char* kSizeKey = "Thumb::Size";

// Makes a folder with mode 0700 unless it exists, and the folders above it
// that are missing ($XDG_CACHE_HOME itself may not exist yet).
[[nodiscard]] bool MakePrivateDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), kDirectoryMode) == 0)
        return true;
    if (errno == ENOENT) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0 || !MakePrivateDirectory(path.substr(0, slash)))
            return false;
        return ::mkdir(path.c_str(), kDirectoryMode) == 0 || errno == EEXIST;
    }
    struct stat status;
    return errno == EEXIST && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A thumbnail decoded with its text keys. QImageReader::text() cannot be
// asked for them: it splits its keys at the first ':' and so never finds
// "Thumb::URI"; the decoded image carries them whole.
QImage ReadTaggedImage(const std::string& path)
{
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "png");
    return reader.read();
}

// A temporary file that is removed again unless it was renamed into place.
class TTemporaryFile
{
public:
    explicit TTemporaryFile(std::string pattern)
        : path_(std::move(pattern))
    {
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
        created_ = fd_ >= 0;
    }
    ~TTemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (created_ && !renamed_)
            ::unlink(path_.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool IsOpen() const { return created_; }
    int Fd() const { return fd_; }
    bool CloseAndRename(const std::string& target)
    {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            return false;
        renamed_ = ::rename(path_.c_str(), target.c_str()) == 0;
        return renamed_;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool renamed_ = false;
};

}  // namespace

TThumbnailCache::TThumbnailCache()
    : root_(QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)).toStdString() +
            "/thumbnails")
{
}

TThumbnailCache::TThumbnailCache(std::string root)
    : root_(std::move(root))
{
}

int TThumbnailCache::EdgeOf(TFlavor flavor)
{
    return flavor == TFlavor::Normal ? kNormalEdge : kLargeEdge;
}

bool TThumbnailCache::FlavorFor(int width, int height, TFlavor& flavor)
{
    const int edge = std::max(width, height);
    if (edge <= kNormalEdge)
        flavor = TFlavor::Normal;
    else if (edge <= kLargeEdge)
        flavor = TFlavor::Large;
    else
        return false;
    return true;
}

std::string TThumbnailCache::FlavorDirectory(TFlavor flavor) const
{
    return root_ + (flavor == TFlavor::Normal ? "/normal" : "/large");
}

std::string TThumbnailCache::ThumbnailPath(const std::string& uri, TFlavor flavor) const
{
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5);
    return FlavorDirectory(flavor) + "/" + digest.toHex().toStdString() + ".png";
}

QImage TThumbnailCache::Lookup(const std::string& uri, std::int64_t modified, TFlavor flavor) const
{
    // Thumbnails are small: decoding one to read its keys costs little.
    const QImage image = ReadTaggedImage(ThumbnailPath(uri, flavor));
    if (image.isNull() || image.text(kUriKey).toStdString() != uri ||
        image.text(kModifiedKey) != QString::number(modified))
        return {};
    return image;
}

bool TThumbnailCache::Store(const std::string& uri, std::int64_t modified, std::uint64_t fileSize, TFlavor flavor,
                            const QImage& thumbnail) const
{
    const std::string directory = FlavorDirectory(flavor);
    if (thumbnail.isNull() || !MakePrivateDirectory(root_) || !MakePrivateDirectory(directory))
        return false;
    const std::string target = ThumbnailPath(uri, flavor);
    TTemporaryFile temporary(target + ".XXXXXX");
    if (!temporary.IsOpen() || ::fchmod(temporary.Fd(), 0600) != 0)
        return false;

    QImage tagged = thumbnail;
    tagged.setText(kUriKey, QString::fromStdString(uri));
    tagged.setText(kModifiedKey, QString::number(modified));
    tagged.setText(kSizeKey, QString::number(fileSize));
    tagged.setText("Software", "Parzello");
    {
        QFile file;
        if (!file.open(temporary.Fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return false;
        QImageWriter writer(&file, "png");
        if (!writer.write(tagged) || !file.flush())
            return false;
    }
    return temporary.CloseAndRename(target);
}
