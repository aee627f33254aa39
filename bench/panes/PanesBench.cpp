// The main window's four linked panes at scale, beside `ls -1` and Qt's
// QFileSystemModel, in one run:
// - start: the program started with a file of a folder of N files and
//   --quit-when-shown (which ends it once the folder is painted with the file
//   selected), timed from outside, against an empty start; what the folder
//   adds is set against `ls -1` of it;
// - fill: one file list pane filling the folder up to its painted frame,
//   against `ls -1` and QFileSystemModel;
// - keys: 20 Down keys in the main window's list of that folder, the listings
//   of the folder (and their getdents64 calls) counted by strace attached to
//   this process;
// - slow: the main window opening a folder whose every listing takes a while
//   (a FUSE file system of the tests), a frame asked for at display rate: the
//   longest gap between two painted frames of the window, beside
//   QFileSystemModel in a QTreeView opening the same folder.
//
//   panes-bench [--files N] [--rounds R] [--slow-ms MS] [--program PATH]

#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"
#include "bench/support/BenchFiles.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/PaneFills.h"
#include "bench/support/TFrameWatch.h"
#include "bench/support/TScratchFolder.h"
#include "shell/panes/list/TPzShellList.h"
#include "tests/support/TListingFuse.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultFiles = 100000;
constexpr int kDefaultRounds = 3;  // a round of QFileSystemModel on 100 000 entries takes seconds
constexpr int kDefaultSlowMs = 5000;
constexpr int kArrowKeys = 20;
// A user's key repeat: about ten keys a second, each given its events.
constexpr int kKeyIntervalMs = 100;
// After the keys, time for any deferred refill to show up in the count.
constexpr int kSettleMs = 1000;
// One readdir call of the kernel holds them all, so one listing waits once.
constexpr int kSlowFiles = 200;
// A display at 60 Hz asks for a frame this often.
constexpr int kFrameIntervalMs = 16;
// Watching the slow folder ends this long after it has been filled.
constexpr int kAfterFillMs = 500;
// Against a hang: no phase waits longer than this for what it awaits.
constexpr int kPhaseLimitMs = 120000;

QString Q(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::string NameOf(int i)
{
    // Ten pieces a name: a folder of split files.
    return "file-" + std::to_string(1000000 + i / 10).substr(1) + "." + std::to_string(10001 + i % 10).substr(1);
}

// Runs the event loop until `done` holds or the limit has passed; false then.
template <class F>
bool RunUntil(F&& done, int limitMs = kPhaseLimitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Waits until strace has attached to every thread of this process.
bool Traced(int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        bool all = true;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::ifstream status(task.path() / "status");
            std::string line;
            while (std::getline(status, line))
                if (line.rfind("TracerPid:", 0) == 0)
                    all = all && std::atoi(line.c_str() + 10) != 0;
        }
        if (all)
            return true;
        QTest::qWait(10);
    }
    return false;
}

struct TListingCount
{
    int Opens = 0;     // openat of the folder as a directory: one a listing
    int Getdents = 0;  // getdents64 calls on it
    bool Measured = false;
};

// Reads `strace -f -y -e trace=openat,getdents64` output for one folder.
TListingCount CountListings(const std::string& tracePath, const std::string& folder)
{
    TListingCount count;
    std::ifstream trace(tracePath);
    const std::string named = "<" + folder + ">";
    std::string line;
    while (std::getline(trace, line)) {
        count.Measured = true;
        const size_t call = line.find("getdents64(");
        if (call != std::string::npos) {
            const size_t fd = line.find_first_not_of("0123456789", call + 11);
            if (fd != std::string::npos && line.compare(fd, named.size(), named) == 0)
                ++count.Getdents;
            continue;
        }
        const size_t result = line.rfind(") = ");
        if (line.find("openat") != std::string::npos && line.find("O_DIRECTORY") != std::string::npos &&
            result != std::string::npos) {
            const size_t fd = line.find_first_not_of("0123456789", result + 4);
            if (fd != std::string::npos && fd > result + 4 && line.compare(fd, named.size(), named) == 0)
                ++count.Opens;
        }
    }
    return count;
}

TPzShellList& ShownList(TMainForm& form)
{
    for (TPzShellList* list : form.findChildren<TPzShellList*>())
        if (list->isVisible())
            return *list;
    return *form.findChild<TPzShellList*>(QStringLiteral("PzShellList1"));
}

bool Shows(TPzShellList& list, const std::string& folder, int entries)
{
    return QDir::cleanPath(list.Path()) == Q(folder) && list.Count() >= entries;
}

struct TSlowRun
{
    double LongestGapMs = 0;
    double FilledSeconds = -1;  // -1: not filled within the limit
    int Frames = 0;
};

// Frames are asked of `painted` at display rate while `open` runs from the
// event loop, until `filled` holds and kAfterFillMs more have passed.
template <class Open, class Filled>
TSlowRun WatchFrames(QWidget& painted, Open&& open, Filled&& filled)
{
    TSlowRun run;
    TFrameWatch frames(&painted);
    QTimer frameClock;
    frameClock.setInterval(kFrameIntervalMs);
    QObject::connect(&frameClock, &QTimer::timeout, &painted, [&painted] { painted.update(); });
    QElapsedTimer clock;
    clock.start();
    frames.Start();
    frameClock.start();
    QTimer::singleShot(0, &painted, open);
    if (RunUntil(filled))
        run.FilledSeconds = clock.nsecsElapsed() / 1e9;
    QTest::qWait(kAfterFillMs);
    run.LongestGapMs = frames.LongestGapMs();
    run.Frames = frames.Frames();
    frameClock.stop();
    return run;
}

// TimeProgram, with a word when the program did not end well.
double TimeStart(const std::vector<std::string>& argv)
{
    int status = 0;
    const double seconds = TimeSeconds([&] { status = RunProgram(argv, "/dev/null"); });
    if (status != 0)
        std::fprintf(stderr, "panes-bench: %s ended with %d\n", argv[0].c_str(), status);
    return seconds;
}

}  // namespace

int main(int argc, char* argv[])
{
    int files = kDefaultFiles;
    int rounds = kDefaultRounds;
    int slowMs = kDefaultSlowMs;
    std::string program = PARZELLO_PROGRAM_PATH;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--slow-ms") == 0)
            slowMs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--program") == 0)
            program = argv[i + 1];
    }
    // The programs started from here inherit the platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const TScratchFolder scratch("/tmp");
    // The slow folder's server is a child process: made before the
    // application starts threads of its own.
    TListingFuse slowFolder(scratch.Path(), kSlowFiles);
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const std::string folder = scratch.Path() + "/many";
    if (!std::filesystem::create_directory(folder) || !MakeEmptyFiles(folder, files, NameOf)) {
        std::fprintf(stderr, "panes-bench: cannot make the folder\n");
        return 1;
    }
    const std::string startFile = folder + "/" + NameOf(files / 2);

    // Start, timed from outside; the peers lead in turn.
    std::vector<double> lsTimes;
    std::vector<double> emptyStarts;
    std::vector<double> fileStarts;
    TimeStart({program, "--quit-when-shown", startFile});  // warms the caches
    for (int round = 0; round < rounds; ++round) {
        lsTimes.push_back(TimeProgram({"ls", "-1", folder}));
        emptyStarts.push_back(TimeStart({program, "--quit-when-shown"}));
        fileStarts.push_back(TimeStart({program, "--quit-when-shown", startFile}));
    }

    // One list's fill, beside QFileSystemModel and ls -1.
    TProgram parzello;
    std::vector<double> listFills;
    std::vector<double> modelFills;
    FillList(Q(folder), files);  // warms the icon theme
    for (int round = 0; round < rounds; ++round) {
        lsTimes.push_back(TimeProgram({"ls", "-1", folder}));
        listFills.push_back(FillList(Q(folder), files).Seconds);
        modelFills.push_back(FillModel(Q(folder), files).Seconds);
    }

    // Arrow keys in the main window, the folder's listings counted.
    TMainForm& form = parzello.MainForm();
    form.resize(1024, 768);
    form.show();
    form.ShowStartFile(Q(startFile));
    TPzShellList& list = ShownList(form);
    const bool shown = RunUntil([&] { return Shows(list, folder, files); });
    QTest::qWait(kSettleMs);
    const std::string tracePath = scratch.Path() + "/keys.strace";
    const pid_t strace = StartProgram({"strace", "-f", "-qq", "-y", "-e", "trace=openat,getdents64", "-o", tracePath,
                                       "-p", std::to_string(::getpid())});
    const bool traced = strace > 0 && Traced(10000);
    const QStringList selectedBefore = list.SelectedNames();
    for (int key = 0; key < kArrowKeys; ++key) {
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::qWait(kKeyIntervalMs);
    }
    QTest::qWait(kSettleMs);
    const QStringList selectedAfter = list.SelectedNames();
    if (strace > 0)
        StopProgram(strace, SIGINT);
    const TListingCount keys = traced ? CountListings(tracePath, folder) : TListingCount{};

    // The slow folder in the main window, and in QFileSystemModel.
    TSlowRun slowPanes;
    TSlowRun slowModel;
    int slowListings = 0;
    if (slowFolder.IsMounted()) {
        // Lookups of the names beside a held listing would wait in the kernel, which a network mount's do not.
        slowFolder.LookUpNames();
        slowFolder.SetDelay(std::chrono::milliseconds(slowMs));
        const int before = slowFolder.Listings();
        slowPanes = WatchFrames(
            form, [&] { form.ShowStartFile(Q(slowFolder.Root() + "/" + TListingFuse::NameOf(0))); },
            [&] { return Shows(ShownList(form), slowFolder.Root(), kSlowFiles); });
        slowListings = slowFolder.Listings() - before;
        form.hide();
        QFileSystemModel model;
        QTreeView view;
        view.setUniformRowHeights(true);
        view.resize(kPaneWidth, kPaneHeight);
        view.setModel(&model);
        view.show();
        QModelIndex root;
        slowModel = WatchFrames(
            view,
            [&] {
                root = model.setRootPath(Q(slowFolder.Root()));
                view.setRootIndex(root);
            },
            [&] { return root.isValid() && model.rowCount(root) >= kSlowFiles; });
        slowFolder.Release();
    }

    const double ls = Median(lsTimes);
    const double emptyStart = Median(emptyStarts);
    const double fileStart = Median(fileStarts);
    const double opening = fileStart - emptyStart;
    const double listFill = Median(listFills);
    const double modelFill = Median(modelFills);
    std::printf("entries                             %d, %d interleaved rounds, load %s\n", files, rounds,
                LoadAverages().c_str());
    std::printf("ls -1                               %.1f ms\n", ls * 1000);
    std::printf("start, empty                        %.1f ms\n", emptyStart * 1000);
    std::printf("start with a file of the folder     %.1f ms: the folder adds %.1f ms, %.2f of ls -1\n",
                fileStart * 1000, opening * 1000, opening / ls);
    std::printf("one list's fill, painted            %.1f ms: %.2f of ls -1, %.3f of QFileSystemModel (%.1f ms)\n",
                listFill * 1000, listFill / ls, listFill / modelFill, modelFill * 1000);
    if (!shown)
        std::printf("arrow keys                          not measured: the window did not show the folder\n");
    else if (!traced || !keys.Measured)
        std::printf("arrow keys                          not measured: strace could not attach\n");
    else
        std::printf("%d arrow keys                        %d listings of the folder, %d getdents64 calls, "
                    "selection %s\n",
                    kArrowKeys, keys.Opens, keys.Getdents, selectedBefore == selectedAfter ? "unmoved" : "moved");
    if (!slowFolder.IsMounted())
        std::printf("slow folder                         not measured: %s\n", slowFolder.SkipReason().c_str());
    else
        std::printf("slow folder (%d ms a listing)     window: longest gap %.0f ms, filled after %.1f s, %d listings; "
                    "QFileSystemModel: longest gap %.0f ms, filled after %.1f s\n",
                    slowMs, slowPanes.LongestGapMs, slowPanes.FilledSeconds, slowListings, slowModel.LongestGapMs,
                    slowModel.FilledSeconds);
    std::printf("RATIO open_vs_ls %.2f\n", opening / ls);
    std::printf("RATIO fill_vs_ls %.2f\n", listFill / ls);
    std::printf("RATIO fill_vs_qfilesystemmodel %.3f\n", listFill / modelFill);
    if (shown && traced && keys.Measured)
        std::printf("LISTINGS arrow_keys %d\n", keys.Opens);
    if (slowFolder.IsMounted())
        std::printf("GAP slow_folder_ms %.0f\n", slowPanes.LongestGapMs);
    return 0;
}
