// Expands a folder of many sub-folders in the folder tree up to the first
// painted frame, beside QFileSystemModel in a QTreeView expanding the same
// folder until all its rows are there; prints the median times and their ratio.
//
//   tree-expand-bench [--folders N] [--rounds R]

#include "bench/support/BenchTiming.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/panes/tree/TPzShellTree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kDefaultFolders = 20000;
constexpr int kDefaultRounds = 5;  // the median of five runs steadies a shared machine
// A peer that has not listed the folder after this long counts as failed.
constexpr qint64 kPeerTimeoutMs = 120000;

bool MakeFolders(const std::string& path, int count)
{
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "/ordner-%06d", i);
        if (::mkdir((path + name).c_str(), 0755) != 0)
            return false;
    }
    return true;
}

// Ours: the tree shows the folder's parent; the timed part expands the folder and paints.
double TimeTree(const QString& folder, int& rows)
{
    TPzShellTree tree;
    tree.resize(257, 600);
    tree.Loaded();
    tree.show();
    tree.SetSelectedFolder(folder);
    QApplication::processEvents();
    TTreeNode* node = tree.Selected();
    const double seconds = TimeSeconds([&] {
        tree.Expand(node);
        tree.scrollTo(tree.Nodes().IndexOf(node), QAbstractItemView::PositionAtTop);
        tree.viewport()->repaint();
    });
    rows = node->Count();
    return seconds;
}

// The peer: the same folder in QFileSystemModel, expanded until every row is fetched, then painted.
double TimePeer(const QString& folder, int expected, int& rows)
{
    QFileSystemModel model;
    model.setRootPath(QFileInfo(folder).path());
    QTreeView view;
    view.resize(257, 600);
    view.setModel(&model);
    view.show();
    QModelIndex index = model.index(folder);
    QApplication::processEvents();
    QElapsedTimer timeout;
    timeout.start();
    const double seconds = TimeSeconds([&] {
        view.expand(index);
        while (model.rowCount(index) < expected && timeout.elapsed() < kPeerTimeoutMs) {
            if (model.canFetchMore(index))
                model.fetchMore(index);
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        view.scrollTo(index, QAbstractItemView::PositionAtTop);
        view.viewport()->repaint();
    });
    rows = model.rowCount(index);
    return seconds;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    int folders = kDefaultFolders;
    int rounds = kDefaultRounds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--folders") == 0)
            folders = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    QTemporaryDir temporary;
    const std::string directory = QFile::encodeName(temporary.path()).toStdString() + "/viele";
    if (::mkdir(directory.c_str(), 0755) != 0 || !MakeFolders(directory, folders)) {
        std::fprintf(stderr, "tree-expand-bench: cannot make the folders\n");
        return 1;
    }
    const TShellLibrary library;
    const QString folder = QFile::decodeName(QByteArray::fromStdString(directory));
    int treeRows = 0;
    int peerRows = 0;
    TimeTree(folder, treeRows);  // warm the directory cache for both
    std::vector<double> treeTimes;
    std::vector<double> peerTimes;
    for (int round = 0; round < rounds; ++round) {
        treeTimes.push_back(TimeTree(folder, treeRows));
        peerTimes.push_back(TimePeer(folder, folders, peerRows));
    }
    const double tree = Median(treeTimes);
    const double peer = Median(peerTimes);
    std::printf("folders %d, rounds %d, load %s\n", folders, rounds, LoadAverages().c_str());
    std::printf("tree expansion to first frame: %s (%d nodes)\n", FormatSeconds(tree).c_str(), treeRows);
    std::printf("QFileSystemModel + QTreeView:  %s (%d rows)\n", FormatSeconds(peer).c_str(), peerRows);
    std::printf("RATIO tree_expand_vs_qfilesystemmodel %.2f\n", peer > 0 ? tree / peer : 0.0);
    return treeRows == folders && peerRows == folders ? 0 : 2;
}
