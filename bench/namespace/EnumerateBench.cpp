// Enumerates a folder of many files with their display names through the
// namespace, side by side with `ls -f` listing the same folder, and prints the
// ratio of the median times.
//
//   enumerate-bench [--files N] [--rounds R] [--dir PATH]
//
// Without --dir a temporary folder of N entries (default 100000) is made and
// removed afterwards; its entries are hard links of one file, which are quick
// to make and list exactly like separate files.

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultFiles = 100000;
constexpr int kDefaultRounds = 5;  // the median of five runs steadies a shared machine

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

bool MakeFolder(const std::string& path, int files)
{
    return MakeEmptyFiles(path, files, [](int i) { return "file-" + std::to_string(1000000 + i).substr(1) + ".bin"; });
}

// `ls -f PATH` with its output thrown away, from spawn to exit.
double TimeLs(const std::string& path)
{
    return TimeProgram({"ls", "-f", path});
}

// The namespace: bind, enumerate everything, ask each item's display name and
// write it out as ls does.
double TimeEnumerate(const std::string& path, std::size_t& count)
{
    FILE* sink = std::fopen("/dev/null", "w");
    const TClock::time_point start = TClock::now();
    TItemIdListPtr list = SHParseDisplayName(path);
    IShellFolderPtr folder = list ? SHBindToFolder(list.get()) : nullptr;
    std::unique_ptr<IEnumIDList> enumerator;
    count = 0;
    if (folder &&
        folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, enumerator).Succeeded()) {
        std::string name;
        for (TItemIdListPtr item; enumerator->Next(item);) {
            if (folder->GetDisplayNameOf(item.get(), SHGDN_NORMAL, name).Failed())
                name.clear();
            std::fputs(name.c_str(), sink);
            std::fputc('\n', sink);
            ++count;
        }
    }
    std::fflush(sink);
    const TClock::time_point end = TClock::now();
    std::fclose(sink);
    return Seconds(end - start);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    int files = kDefaultFiles;
    int rounds = kDefaultRounds;
    std::string directory;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0)
            directory = argv[i + 1];
    }

    QTemporaryDir temporary;
    if (directory.empty()) {
        directory = QFile::encodeName(temporary.path()).toStdString() + "/many";
        std::printf("making %d entries in %s ...\n", files, directory.c_str());
        if (::mkdir(directory.c_str(), 0755) != 0 || !MakeFolder(directory, files)) {
            std::fprintf(stderr, "enumerate-bench: cannot make the folder\n");
            return 1;
        }
    }

    // One unmeasured run each fills the caches alike.
    std::size_t count = 0;
    TimeLs(directory);
    TimeEnumerate(directory, count);
    std::vector<double> lsTimes;
    std::vector<double> ourTimes;
    for (int round = 0; round < rounds; ++round) {
        lsTimes.push_back(TimeLs(directory));
        ourTimes.push_back(TimeEnumerate(directory, count));
    }
    const double ls = Median(lsTimes);
    const double ours = Median(ourTimes);
    std::printf("entries            %zu\n", count);
    std::printf("ls -f              %.1f ms (median of %d)\n", ls * 1000, rounds);
    std::printf("namespace          %.1f ms (median of %d)\n", ours * 1000, rounds);
    std::printf("ratio              %.2f (namespace / ls -f; at most 2 wanted)\n", ours / ls);
    return 0;
}
