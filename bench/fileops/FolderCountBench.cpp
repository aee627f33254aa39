// Counts a folder tree with the properties dialog's background counter, side
// by side with `du -s` of coreutils walking the same tree, and prints the
// ratio of the median times.
//
//   folder-count-bench [--files N] [--folders F] [--rounds R] [--dir PATH]
//
// Without --dir a temporary tree of F folders holding N empty files in all
// (defaults 50000 and 500) is made and removed afterwards.

#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "platform/core/files/TFolderSizeCounter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultFiles = 50000;
constexpr int kDefaultFolders = 500;
constexpr int kDefaultRounds = 5;  // the median of five runs steadies a shared machine
// How often the finished count is looked for: far below the times measured.
constexpr auto kPollInterval = std::chrono::microseconds(200);

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

bool MakeTree(const std::string& root, int files, int folders)
{
    char name[96];
    for (int folder = 0; folder < folders; ++folder) {
        std::snprintf(name, sizeof name, "/folder-%05d", folder);
        if (::mkdir((root + name).c_str(), 0755) != 0)
            return false;
    }
    for (int file = 0; file < files; ++file) {
        std::snprintf(name, sizeof name, "/folder-%05d/file-%06d.bin", file % folders, file);
        const int fd = ::open((root + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

// `du -s PATH` with its output thrown away, from spawn to exit.
double TimeDu(const std::string& path)
{
    return TimeProgram({"du", "-s", path});
}

double TimeCount(const std::string& path, TFolderSizeCounter::TTotals& totals)
{
    const TClock::time_point start = TClock::now();
    TFolderSizeCounter counter({path});
    while (!(totals = counter.Totals()).done)
        std::this_thread::sleep_for(kPollInterval);
    return Seconds(TClock::now() - start);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    int files = kDefaultFiles;
    int folders = kDefaultFolders;
    int rounds = kDefaultRounds;
    std::string directory;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--folders") == 0)
            folders = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0)
            directory = argv[i + 1];
    }

    QTemporaryDir temporary;
    if (directory.empty()) {
        directory = QFile::encodeName(temporary.path()).toStdString() + "/tree";
        std::printf("making %d files in %d folders in %s ...\n", files, folders, directory.c_str());
        if (::mkdir(directory.c_str(), 0755) != 0 || !MakeTree(directory, files, folders)) {
            std::fprintf(stderr, "folder-count-bench: cannot make the tree\n");
            return 1;
        }
    }

    // One unmeasured run each fills the caches alike; the peer leads every second round.
    TFolderSizeCounter::TTotals totals;
    TimeDu(directory);
    TimeCount(directory, totals);
    std::vector<double> duTimes;
    std::vector<double> ourTimes;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 1)
            duTimes.push_back(TimeDu(directory));
        ourTimes.push_back(TimeCount(directory, totals));
        if (round % 2 == 0)
            duTimes.push_back(TimeDu(directory));
    }
    const double du = Median(duTimes);
    const double ours = Median(ourTimes);
    std::printf("counted            %llu files, %llu folders, %llu bytes\n",
                static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.folders),
                static_cast<unsigned long long>(totals.bytes));
    std::printf("du -s              %.1f ms (median of %d)\n", du * 1000, rounds);
    std::printf("counter            %.1f ms (median of %d)\n", ours * 1000, rounds);
    std::printf("RATIO count_vs_du  %.2f (counter / du -s; lower is better for us)\n", ours / du);
    return 0;
}
