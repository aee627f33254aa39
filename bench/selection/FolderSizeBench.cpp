// Measures a folder tree the way the selection list's folder-size items do,
// side by side with `du -slb` of coreutils walking the same tree, and prints
// the ratio of the median times.
//
//   foldersize-bench [--folders N] [--files N] [--rounds R] [--dir PATH]
//
// Without --dir a temporary tree of N folders (default 500) of N files each
// (default 100) is made and removed afterwards; the files are hard links of
// one file, which are quick to make and measure like separate files.

#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "shell/selection/TPzFolderSizeThread.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultFolders = 500;
constexpr int kDefaultFiles = 100;
constexpr int kDefaultRounds = 5;  // the median of five runs steadies a shared machine

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

bool MakeTree(const std::string& root, int folders, int files)
{
    const std::string source = root + "/source.bin";
    const int fd = ::open(source.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, "0123456789", 10) != 10)
        return false;
    ::close(fd);
    char name[64];
    for (int folder = 0; folder < folders; ++folder) {
        std::snprintf(name, sizeof name, "/folder-%04d", folder);
        const std::string path = root + name;
        if (::mkdir(path.c_str(), 0755) != 0)
            return false;
        for (int file = 0; file < files; ++file) {
            std::snprintf(name, sizeof name, "/file-%05d.bin", file);
            if (::link(source.c_str(), (path + name).c_str()) != 0)
                return false;
        }
    }
    return true;
}

// `du -slb PATH` (every link counted, apparent sizes) with its output thrown away.
double TimeDu(const std::string& path)
{
    return TimeProgram({"du", "-slb", path});
}

struct TMeasured
{
    long long size = 0;
    long long files = 0;
    long long folders = 0;
};

double TimeMeasure(const std::string& path, TMeasured& result)
{
    const TClock::time_point start = TClock::now();
    TPzFolderSizeThread item(path, true, +1);
    item.Execute();
    const TClock::time_point end = TClock::now();
    result = {item.TotalSize(), item.FileCount(), item.FolderCount()};
    return Seconds(end - start);
}

}  // namespace

int main(int argc, char* argv[])
{
    int folders = kDefaultFolders;
    int files = kDefaultFiles;
    int rounds = kDefaultRounds;
    std::string directory;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--folders") == 0)
            folders = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(0, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0)
            directory = argv[i + 1];
    }

    QTemporaryDir temporary;
    if (directory.empty()) {
        directory = QFile::encodeName(temporary.path()).toStdString();
        std::printf("making %d folders of %d files in %s ...\n", folders, files, directory.c_str());
        if (!MakeTree(directory, folders, files)) {
            std::fprintf(stderr, "foldersize-bench: cannot make the tree\n");
            return 1;
        }
    }

    // One unmeasured run each fills the caches alike.
    TMeasured result;
    TimeDu(directory);
    TimeMeasure(directory, result);
    std::vector<double> ours;
    std::vector<double> peer;
    for (int round = 0; round < rounds; ++round) {
        // The peer leads every second round, so neither always runs on warmer caches.
        if (round % 2 == 1)
            peer.push_back(TimeDu(directory));
        ours.push_back(TimeMeasure(directory, result));
        if (round % 2 == 0)
            peer.push_back(TimeDu(directory));
    }
    std::printf("measured %lld bytes in %lld files and %lld folders\n", result.size, result.files, result.folders);
    std::printf("median folder-size item %.4f s, du -slb %.4f s\n", Median(ours), Median(peer));
    std::printf("RATIO foldersize_vs_du %.3f\n", Median(ours) / Median(peer));
    return 0;
}
