// Fills a pane's way through a folder of many files: the navigator's Next()
// with each entry's name and folder test, once without and once with a name
// filter, side by side with `ls -f` listing the same folder; prints the ratios
// of the median times.
//
//   navigator-enumerate-bench [--files N] [--rounds R]

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/navigator/TShellNavigator.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultFiles = 20000;
constexpr int kDefaultRounds = 5;  // the median of five runs steadies a shared machine
using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// Every tenth entry is a piece, so that the filter keeps a tenth.
bool MakeFolder(const std::string& path, int files)
{
    return MakeEmptyFiles(path, files, [](int i) {
        return "file-" + std::to_string(1000000 + i).substr(1) + (i % 10 ? ".bin" : ".0001");
    });
}

double TimeLs(const std::string& path)
{
    return TimeProgram({"ls", "-f", path});
}

double TimeNavigator(const std::string& path, const QString& filter, std::size_t& count)
{
    const TClock::time_point start = TClock::now();
    TShellNavigator navigator;
    navigator.SetShowErrorMessages(false);
    navigator.SetFilter(filter);
    navigator.SetFolderPath(path);
    count = 0;
    std::size_t folders = 0;
    while (navigator.Next()) {
        count += !navigator.ObjectNameBytes().empty();
        folders += navigator.IsFolder();
    }
    const TClock::time_point end = TClock::now();
    if (folders > count)
        std::fprintf(stderr, "more folders than entries\n");
    return Seconds(end - start);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    int files = kDefaultFiles;
    int rounds = kDefaultRounds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    QTemporaryDir temporary;
    const std::string directory = QFile::encodeName(temporary.path()).toStdString() + "/many";
    if (::mkdir(directory.c_str(), 0755) != 0 || !MakeFolder(directory, files)) {
        std::fprintf(stderr, "navigator-enumerate-bench: cannot make the folder\n");
        return 1;
    }
    const TShellLibrary library;
    std::size_t all = 0;
    std::size_t pieces = 0;
    TimeLs(directory);
    TimeNavigator(directory, QString(), all);
    std::vector<double> lsTimes;
    std::vector<double> allTimes;
    std::vector<double> filteredTimes;
    for (int round = 0; round < rounds; ++round) {
        lsTimes.push_back(TimeLs(directory));
        allTimes.push_back(TimeNavigator(directory, QString(), all));
        filteredTimes.push_back(TimeNavigator(directory, QStringLiteral("*.0001"), pieces));
    }
    const double ls = Median(lsTimes);
    std::printf("entries               %zu (%zu pass *.0001)\n", all, pieces);
    std::printf("ls -f                 %.1f ms (median of %d)\n", ls * 1000, rounds);
    std::printf("navigator             %.1f ms, ratio %.2f\n", Median(allTimes) * 1000, Median(allTimes) / ls);
    std::printf("navigator, filtered   %.1f ms, ratio %.2f\n", Median(filteredTimes) * 1000,
                Median(filteredTimes) / ls);
    return 0;
}
