// Thumbnails of one image, side by side: our extractor answering from the
// thumbnail cache (after a first call filled it) against decoding the file
// with QImageReader at a reduced size each time, as a viewer without a cache
// would. Prints the medians and their ratio.
//
//   thumbnail-bench [--size EDGE] [--rounds R] [--image PATH]
//
// Without --image a 4000 x 3000 JPEG of a colour gradient is made in a
// temporary folder. The cache lives in a temporary folder too, never in the
// user's own.

#include "platform/commands/TThumbnailCache.h"
#include "platform/commands/TThumbnailExtractor.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultEdge = 128;
constexpr int kDefaultRounds = 21;  // single extractions are short: many rounds steady the median

using TClock = std::chrono::steady_clock;

template <class F>
double TimeSeconds(F&& work)
{
    const TClock::time_point start = TClock::now();
    work();
    return std::chrono::duration<double>(TClock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool MakeImage(const QString& path)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    painter.end();
    return image.save(path, "jpeg", 90);
}

QImage DecodeDirectly(const QString& path, int edge)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setScaledSize(reader.size().scaled(edge, edge, Qt::KeepAspectRatio));
    return reader.read();
}

}  // namespace

int main(int argc, char* argv[])
{
    // Decoding needs an application object, which needs a platform: without a
    // display, the offscreen one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int edge = kDefaultEdge;
    int rounds = kDefaultRounds;
    std::string imagePath;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size") == 0)
            edge = std::clamp(std::atoi(argv[i + 1]), 1, 256);
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--image") == 0)
            imagePath = argv[i + 1];
    }
    QTemporaryDir temporary;
    if (imagePath.empty()) {
        imagePath = QFile::encodeName(temporary.path()).toStdString() + "/bild.jpg";
        if (!MakeImage(QFile::decodeName(QByteArray::fromStdString(imagePath)))) {
            std::fprintf(stderr, "thumbnail-bench: cannot make the image\n");
            return 1;
        }
    }
    const QString shown = QFile::decodeName(QByteArray::fromStdString(imagePath));
    const TThumbnailCache cache(QFile::encodeName(temporary.path()).toStdString() + "/thumbnails");

    const auto extract = [&] {
        TThumbnailExtractor extractor(imagePath, cache);
        std::string location;
        QImage image;
        // GetLocation only takes the size; a failed extraction leaves the image null, which the caller sees.
        static_cast<void>(extractor.GetLocation(QSize(edge, edge), 0, location));
        static_cast<void>(extractor.Extract(image));
        return image;
    };
    const double first = TimeSeconds([&] { extract(); });
    std::vector<double> cachedTimes;
    std::vector<double> directTimes;
    for (int round = 0; round < rounds; ++round) {
        cachedTimes.push_back(TimeSeconds([&] { extract(); }));
        directTimes.push_back(TimeSeconds([&] { DecodeDirectly(shown, edge); }));
    }
    const double cached = Median(cachedTimes);
    const double direct = Median(directTimes);
    std::printf("first extraction   %.2f ms (decodes and fills the cache)\n", first * 1000);
    std::printf("from the cache     %.2f ms (median of %d)\n", cached * 1000, rounds);
    std::printf("decoding directly  %.2f ms (median of %d)\n", direct * 1000, rounds);
    std::printf("RATIO cached_vs_decode  %.3f (extractor / QImageReader; lower is better for us)\n", cached / direct);
    return 0;
}
