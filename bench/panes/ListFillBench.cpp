// The file list pane filling a large folder, side by side with Qt's
// QFileSystemModel in a QTreeView loading the same folder, and with `ls -1`:
// the time from showing the folder to the first painted frame (ours) or to
// the last fetched row (QFileSystemModel), as medians of interleaved rounds;
// the resident memory each adds per entry, each measured in a fresh process;
// and how many entries the list completed (only painted ones should be).
//
//   list-fill-bench [--files N] [--rounds R]

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/PaneFills.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/panes/list/TPzShellList.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kDefaultFiles = 100000;
constexpr int kDefaultRounds = 3;  // a 100 000-entry round of QFileSystemModel takes many seconds
bool MakeFolder(const std::string& path, int files)
{
    // Ten pieces a name: a folder of split files.
    return MakeEmptyFiles(path, files, [](int i) {
        return "file-" + std::to_string(1000000 + i / 10).substr(1) + "." + std::to_string(10001 + i % 10).substr(1);
    });
}

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Child mode: fills one peer and prints its resident growth per entry.
int MeasureMemory(const std::string& which, const std::string& directory, int files)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(directory));
    long before = 0;
    auto baseline = [&] { before = ResidentBytes(); };
    if (which == "list") {
        TListFill run = FillList(path, files, baseline);
        std::printf("%.1f %ld\n", double(ResidentBytes() - before) / files, run.List->Completions());
    } else {
        TModelFill run = FillModel(path, files, baseline);
        std::printf("%.1f 0\n", double(ResidentBytes() - before) / files);
    }
    return 0;
}

bool ReadMemory(const std::string& self, const std::string& which, const std::string& directory, int files,
                const std::string& out, double& perEntry, long& completions)
{
    if (RunProgram({self, "--memory", which, directory, std::to_string(files)}, out) != 0)
        return false;
    std::ifstream in(out);
    return bool(in >> perEntry >> completions);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TShellLibrary library;
    if (argc == 5 && std::strcmp(argv[1], "--memory") == 0)
        return MeasureMemory(argv[2], argv[3], std::atoi(argv[4]));
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
        std::fprintf(stderr, "list-fill-bench: cannot make the folder\n");
        return 1;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(directory));
    std::vector<double> listTimes;
    std::vector<double> modelTimes;
    std::vector<double> lsTimes;
    long completions = 0;
    FillList(path, files);  // warms the page cache and the icon theme
    for (int round = 0; round < rounds; ++round) {
        lsTimes.push_back(TimeProgram({"ls", "-1", directory}));
        {
            TListFill run = FillList(path, files);
            listTimes.push_back(run.Seconds);
            completions = run.List->Completions();
        }
        modelTimes.push_back(FillModel(path, files).Seconds);
    }
    const std::string self = "/proc/self/exe";
    const std::string out = QFile::encodeName(temporary.path()).toStdString() + "/memory.txt";
    double listMemory = 0;
    double modelMemory = 0;
    long childCompletions = 0;
    long unused = 0;
    const bool memory = ReadMemory(self, "list", directory, files, out, listMemory, childCompletions) &&
                        ReadMemory(self, "model", directory, files, out, modelMemory, unused);

    const double list = Median(listTimes);
    const double model = Median(modelTimes);
    const double ls = Median(lsTimes);
    std::printf("entries                          %d, %d interleaved rounds, load %s\n", files, rounds,
                LoadAverages().c_str());
    std::printf("ls -1                            %.1f ms\n", ls * 1000);
    std::printf("QFileSystemModel, all rows       %.1f ms\n", model * 1000);
    std::printf("file list, first painted frame   %.1f ms: %.3f of QFileSystemModel, %.2f of ls -1\n", list * 1000,
                list / model, list / ls);
    std::printf("entries completed after the fill %ld\n", completions);
    if (memory)
        std::printf("resident memory per entry        list %.0f B, QFileSystemModel %.0f B, ratio %.2f\n", listMemory,
                    modelMemory, listMemory / modelMemory);
    else
        std::printf("resident memory per entry        not measured\n");
    return 0;
}
