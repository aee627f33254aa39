#include "NamespaceFixture.h"

#include "platform/core/text/FileUri.h"
#include "platform/commands/IExtractImage.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/commands/TThumbnailCache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Q(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void WriteImage(const std::string& path, QSize size, QColor color, const char* format = "png")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QImageWriter writer(Q(path), format);
    ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
}

// A JPEG whose EXIF orientation tag (6) says it is shown turned by 90 degrees,
// as cameras held upright write it.
void WriteTurnedJpeg(const std::string& path, QSize stored)
{
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "jpeg"));
    // "Exif\0\0", a little-endian TIFF header, one IFD entry: orientation, SHORT, 1, 6.
    const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
    QByteArray segment("\xff\xe1", 2);
    segment.append(static_cast<char>((exif.size() + 2) >> 8)).append(static_cast<char>((exif.size() + 2) & 0xff));
    jpeg.insert(2, segment + exif);
    QFile file(Q(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
}

std::int64_t ModifiedSeconds(const std::string& path)
{
    struct stat status;
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mtim.tv_sec;
}

unsigned ModeOf(const std::string& path)
{
    struct stat status;
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

bool Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// A thumbnail placed in the cache as another program would have written it.
void PlaceThumbnail(const std::string& path, const std::string& uri, std::int64_t modified, QColor color)
{
    QImage image(QSize(128, 96), QImage::Format_RGB32);
    image.fill(color);
    image.setText("Thumb::URI", QString::fromStdString(uri));
    image.setText("Thumb::MTime", QString::number(modified));
    ASSERT_TRUE(QImageWriter(Q(path), "png").write(image));
}

class ThumbnailTest : public NamespaceFixture
{
protected:
    std::string CacheRoot() const { return Home() + "/.cache/thumbnails"; }

    // The extractor the folder holding `path` hands out, asked for a size.
    std::shared_ptr<IExtractImage> Extractor(const std::string& path, QSize size)
    {
        const TItemIdListPtr absolute = Parse(path);
        const IShellFolderPtr parent =
            SHBindToFolder(TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1).get());
        EXPECT_TRUE(parent);
        if (!parent)
            return nullptr;
        const TItemIdList* item = LastIDListItem(absolute.get());
        std::shared_ptr<IUIObject> object;
        EXPECT_TRUE(
            parent->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::ExtractImage, object).Succeeded());
        auto extractor = std::dynamic_pointer_cast<IExtractImage>(object);
        std::string location;
        EXPECT_TRUE(extractor && extractor->GetLocation(size, IEIFLAG_SCREEN | IEIFLAG_QUALITY, location).Succeeded());
        EXPECT_EQ(location, path);
        return extractor;
    }

    QImage Extract(const std::string& path, QSize size)
    {
        QImage image;
        const auto extractor = Extractor(path, size);
        if (extractor && extractor->Extract(image).Failed()) {
            EXPECT_TRUE(image.isNull());
        }
        return image;
    }
};

TEST_F(ThumbnailTest, WritesTheCacheFileWithItsKeysAndModes)
{
    const std::string path = Work() + "/Urlaub Bild ü.png";
    WriteImage(path, QSize(400, 300), Qt::blue);

    const QImage image = Extract(path, QSize(100, 100));
    EXPECT_EQ(image.size(), QSize(100, 75));

    const std::string uri = "file://" + Work() + "/Urlaub%20Bild%20%C3%BC.png";
    const std::string md5 =
        QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5).toHex().toStdString();
    const std::string cached = CacheRoot() + "/normal/" + md5 + ".png";
    const QImage stored(Q(cached));
    EXPECT_EQ(stored.text("Thumb::URI").toStdString(), uri);
    EXPECT_EQ(stored.text("Thumb::MTime"), QString::number(ModifiedSeconds(path)));
    EXPECT_EQ(stored.size(), QSize(128, 96));
    EXPECT_EQ(ModeOf(CacheRoot()), 0700u);
    EXPECT_EQ(ModeOf(CacheRoot() + "/normal"), 0700u);
    EXPECT_EQ(ModeOf(cached), 0600u);

    // Nothing else is left in the folder (no temporary file).
    EXPECT_EQ(QDir(Q(CacheRoot() + "/normal")).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
}

TEST_F(ThumbnailTest, LargerRequestsUseTheLargeFlavorOrTheFileItself)
{
    const std::string path = Work() + "/weit.png";
    WriteImage(path, QSize(1000, 500), Qt::green);
    const TThumbnailCache cache(CacheRoot());
    const std::string uri = FileUriFromPath(path);

    EXPECT_EQ(Extract(path, QSize(200, 200)).size(), QSize(200, 100));
    EXPECT_EQ(cache.Lookup(uri, ModifiedSeconds(path), TThumbnailCache::TFlavor::Large).size(), QSize(256, 128));
    EXPECT_FALSE(Exists(cache.ThumbnailPath(uri, TThumbnailCache::TFlavor::Normal)));

    // Beyond the largest flavor the picture comes from the file, the cache stays as it was.
    EXPECT_EQ(Extract(path, QSize(600, 600)).size(), QSize(600, 300));
    // Small pictures are not enlarged; a size that names nothing asks for 200 x 200.
    const std::string small = Work() + "/klein.png";
    WriteImage(small, QSize(40, 20), Qt::green);
    EXPECT_EQ(Extract(small, QSize(100, 100)).size(), QSize(40, 20));
    EXPECT_EQ(Extract(path, QSize(0, -1)).size(), QSize(200, 100));
}

TEST_F(ThumbnailTest, UsesAValidCachedThumbnailAndRenewsAStaleOne)
{
    const std::string path = Work() + "/foto.png";
    WriteImage(path, QSize(400, 300), Qt::blue);
    const TThumbnailCache cache(CacheRoot());
    const std::string uri = FileUriFromPath(path);
    const std::string cached = cache.ThumbnailPath(uri, TThumbnailCache::TFlavor::Normal);
    NamespaceFixture::MakeDirectory(CacheRoot());
    NamespaceFixture::MakeDirectory(CacheRoot() + "/normal");

    // A valid entry is used as it is: the picture is the cache's, not the file's.
    PlaceThumbnail(cached, uri, ModifiedSeconds(path), Qt::red);
    EXPECT_EQ(Extract(path, QSize(128, 128)).pixelColor(10, 10), QColor(Qt::red));

    // An entry for another modification time is stale: the file is decoded again
    // and the entry replaced.
    PlaceThumbnail(cached, uri, ModifiedSeconds(path) - 5, Qt::red);
    EXPECT_EQ(Extract(path, QSize(128, 128)).pixelColor(10, 10), QColor(Qt::blue));
    const QImage renewed(Q(cached));
    EXPECT_EQ(renewed.text("Thumb::MTime"), QString::number(ModifiedSeconds(path)));
    EXPECT_EQ(renewed.pixelColor(10, 10), QColor(Qt::blue));

    // An entry written for another URI (a hash collision) is not taken either.
    PlaceThumbnail(cached, uri + "x", ModifiedSeconds(path), Qt::red);
    EXPECT_EQ(Extract(path, QSize(128, 128)).pixelColor(10, 10), QColor(Qt::blue));
}

TEST_F(ThumbnailTest, TurnsPicturesAsTheirOrientationSays)
{
    const std::string path = Work() + "/hochkant.jpg";
    WriteTurnedJpeg(path, QSize(400, 200));
    ASSERT_EQ(QImageReader(Q(path)).transformation(), QImageIOHandler::TransformationRotate90);
    EXPECT_EQ(Extract(path, QSize(128, 128)).size(), QSize(64, 128));
    EXPECT_EQ(Extract(path, QSize(600, 600)).size(), QSize(200, 400));
}

TEST_F(ThumbnailTest, NonImagesGiveNoneAndLeaveNoCacheEntry)
{
    const std::string text = Work() + "/kein bild.png";
    WriteFile(text, 3000);
    const std::string folder = Work() + "/ordner.png";
    MakeDirectory(folder);
    const std::string fifo = Work() + "/rohr.png";
    MakeFifo(fifo);
    const std::string empty = Work() + "/leer.jpg";
    WriteFile(empty, 0);

    for (const std::string& path : {text, folder, fifo, empty}) {
        const auto extractor = Extractor(path, QSize(100, 100));
        QImage image(1, 1, QImage::Format_RGB32);
        ASSERT_TRUE(extractor);
        EXPECT_TRUE(extractor->Extract(image).Failed()) << path;
        EXPECT_TRUE(image.isNull()) << path;
    }
    EXPECT_TRUE(!Exists(CacheRoot() + "/normal") || QDir(Q(CacheRoot() + "/normal")).isEmpty());

    // A file that disappeared after its extractor was made.
    const std::string gone = Work() + "/weg.png";
    WriteImage(gone, QSize(10, 10), Qt::red);
    const auto extractor = Extractor(gone, QSize(100, 100));
    ASSERT_EQ(::unlink(gone.c_str()), 0);
    QImage image;
    EXPECT_TRUE(extractor->Extract(image).Failed());
}

TEST_F(ThumbnailTest, AnUnwritableCacheStillGivesThePicture)
{
    // The cache folder's place is taken by a file.
    WriteFile(CacheRoot(), 1);
    const std::string path = Work() + "/foto.png";
    WriteImage(path, QSize(300, 300), Qt::blue);
    EXPECT_EQ(Extract(path, QSize(128, 128)).size(), QSize(128, 128));
}

TEST_F(ThumbnailTest, ItemsWithoutAPathHaveNoExtractor)
{
    const IShellFolderPtr desktop = SHGetDesktopFolder();
    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    const TItemIdList* item = computer.get();
    std::shared_ptr<IUIObject> object;
    EXPECT_TRUE(desktop->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::ExtractImage, object).Failed());
    EXPECT_FALSE(object);
}

}  // namespace
