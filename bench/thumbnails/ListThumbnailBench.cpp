// The file list with thumbnails on, showing a folder of JPEG and PNG
// pictures: the time from the filled list to every visible entry showing its
// picture, with a cold thumbnail cache (a fresh cache folder) and with a warm
// one, beside a plain loop that decodes and scales the same visible pictures
// with QImageReader on one thread. While the pictures arrive a frame is asked
// for at display rate; the longest gap between two painted frames tells
// whether the user-interface thread ever waited for an extraction.
//
//   list-thumbnail-bench [--files N] [--rounds R] [--frames 0|1]
//
// With --frames 0 no frames are asked for (the gap is then not measured), to
// show what the frames themselves cost the user-interface thread.

#include "bench/support/BenchTiming.h"
#include "bench/support/TFrameWatch.h"
#include "bench/support/TScratchFolder.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/panes/list/TPzShellList.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kDefaultFiles = 2000;
constexpr int kDefaultRounds = 3;  // each round fills a 2000-entry list twice; three keep the run short
// A tall pane: ten thumbnail rows are visible, enough for a steady timing.
constexpr int kWidth = 800;
constexpr int kHeight = 1000;
// A photo-like size: large enough that decoding, not file access, dominates.
constexpr int kPictureWidth = 1600;
constexpr int kPictureHeight = 1200;
// Distinct pictures per format; the other names are hard links of them, so the
// folder costs little disk while every name is its own cache entry.
constexpr int kDistinctPerFormat = 8;
// A display at 60 Hz asks for a frame this often.
constexpr int kFrameIntervalMs = 16;

bool askForFrames = true;

QString Q(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string NameOf(int i)
{
    return "bild-" + std::to_string(100000 + i).substr(1) + (i % 2 == 0 ? ".jpg" : ".png");
}

bool MakePicture(const std::string& path, int seed)
{
    QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, kPictureWidth, kPictureHeight);
    gradient.setColorAt(0, QColor::fromHsv((seed * 37) % 360, 200, 120));
    gradient.setColorAt(1, QColor::fromHsv((seed * 37 + 150) % 360, 160, 250));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(QPen(Qt::white, 9));
    for (int line = 0; line < 40; ++line)
        painter.drawLine((line * 97 + seed * 13) % kPictureWidth, 0, (line * 53) % kPictureWidth, kPictureHeight);
    painter.end();
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    return picture.save(Q(path), jpeg ? "jpeg" : "png", jpeg ? 90 : -1);
}

bool MakeFolder(const std::string& folder, int files)
{
    for (int i = 0; i < files; ++i) {
        const std::string path = folder + "/" + NameOf(i);
        if (i < 2 * kDistinctPerFormat) {
            if (!MakePicture(path, i))
                return false;
        } else if (::link((folder + "/" + NameOf(i % (2 * kDistinctPerFormat))).c_str(), path.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

struct TListRun
{
    double fillSeconds = 0;
    double picturesSeconds = 0;
    double longestGapMs = 0;
    std::vector<std::string> visible;
};

std::vector<TListItem*> VisibleEntries(TPzShellList& list)
{
    std::vector<TListItem*> visible;
    const QRect shown = list.viewport()->rect();
    for (int row = 0; row < list.Count(); ++row) {
        TListItem* item = list.Item(row);
        const QRect bounds = list.DisplayRect(item, drBounds);
        if (bounds.top() >= shown.bottom())
            break;
        if (bounds.intersects(shown))
            visible.push_back(item);
    }
    return visible;
}

TListRun ShowFolder(const std::string& folder)
{
    TListRun run;
    TPzShellList list;
    list.resize(kWidth, kHeight);
    list.show();
    QApplication::processEvents();
    list.Loaded();
    list.SetThumbnails(true);
    list.viewport()->repaint();
    TFrameWatch frames(list.viewport());
    QTimer frameClock;
    frameClock.setInterval(kFrameIntervalMs);
    QObject::connect(&frameClock, &QTimer::timeout, &list, [&list] { list.viewport()->update(); });

    run.fillSeconds = TimeSeconds([&] { list.SetPath(Q(folder)); });
    QElapsedTimer clock;
    clock.start();
    frames.Start();
    if (askForFrames)
        frameClock.start();
    std::vector<TListItem*> visible;
    for (;;) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (visible.empty())
            visible = VisibleEntries(list);
        if (!visible.empty() && std::all_of(visible.begin(), visible.end(),
                                            [&](const TListItem* item) { return list.ThumbnailShown(*item); }))
            break;
    }
    run.picturesSeconds = clock.nsecsElapsed() / 1e9;
    run.longestGapMs = frames.LongestGapMs();
    frameClock.stop();
    for (const TListItem* item : visible)
        run.visible.push_back(folder + "/" + item->Caption.toStdString());
    return run;
}

double DecodeLoop(const std::vector<std::string>& paths, int edge)
{
    return TimeSeconds([&] {
        for (const std::string& path : paths) {
            QImageReader reader(Q(path));
            reader.setAutoTransform(true);
            reader.setScaledSize(reader.size().scaled(edge, edge, Qt::KeepAspectRatio));
            const QImage picture = reader.read();
            if (picture.isNull())
                std::fprintf(stderr, "list-thumbnail-bench: cannot decode %s\n", path.c_str());
        }
    });
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TShellLibrary library;
    const TWorkerPools pools;
    int files = kDefaultFiles;
    int rounds = kDefaultRounds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(2 * kDistinctPerFormat, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--frames") == 0)
            askForFrames = std::atoi(argv[i + 1]) != 0;
    }
    const TScratchFolder scratch(QDir::tempPath().toStdString());
    const std::string folder = scratch.Path() + "/bilder";
    if (!QDir().mkpath(Q(folder)) || !MakeFolder(folder, files)) {
        std::fprintf(stderr, "list-thumbnail-bench: cannot make the pictures\n");
        return 1;
    }
    std::vector<double> fill;
    std::vector<double> cold;
    std::vector<double> warm;
    std::vector<double> loop;
    double longestGap = 0;
    std::size_t visibleCount = 0;
    for (int round = 0; round < rounds; ++round) {
        // A cache folder of its own per round: the first showing finds no thumbnail.
        const std::string cache = scratch.Path() + "/cache-" + std::to_string(round);
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache));
        const TListRun first = ShowFolder(folder);
        const TListRun second = ShowFolder(folder);
        fill.push_back(first.fillSeconds);
        cold.push_back(first.picturesSeconds);
        warm.push_back(second.picturesSeconds);
        longestGap = std::max({longestGap, first.longestGapMs, second.longestGapMs});
        visibleCount = first.visible.size();
        loop.push_back(DecodeLoop(first.visible, TPzShellList::kDefaultThumbnailSide));
        // The next round starts with the pool idle, so its work does not overlap.
        while (TWorkerPools::ThumbnailPool()->PendingCount() > 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double loopTime = Median(loop);
    std::printf("pictures                          %d (JPEG and PNG, %d x %d), %zu visible, %d rounds, load %s\n",
                files, kPictureWidth, kPictureHeight, visibleCount, rounds, LoadAverages().c_str());
    std::printf("list filled                       %.1f ms\n", Median(fill) * 1000);
    std::printf("QImageReader loop, one thread     %.1f ms\n", loopTime * 1000);
    std::printf("all visible pictures, cold cache  %.1f ms: RATIO cold_vs_loop %.3f (goal at most 1)\n",
                Median(cold) * 1000, Median(cold) / loopTime);
    std::printf("all visible pictures, warm cache  %.1f ms: RATIO warm_vs_loop %.3f (goal at most 0.1)\n",
                Median(warm) * 1000, Median(warm) / loopTime);
    if (askForFrames)
        std::printf("longest gap between two frames    %.1f ms (goal under 50)\n", longestGap);
    else
        std::printf("longest gap between two frames    not measured (no frames asked for)\n");
    return 0;
}
