#include "bench/support/PaneFills.h"

#include "shell/panes/list/TPzShellList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QTreeView>

namespace {

// Events are handled in slices this long while a fill is awaited.
constexpr int kEventSliceMs = 5;

}  // namespace

TListFill FillList(const QString& path, int entries, const std::function<void()>& ready)
{
    TListFill run;
    run.List = std::make_unique<TPzShellList>();
    run.List->resize(kPaneWidth, kPaneHeight);
    run.List->show();
    QApplication::processEvents();
    run.List->Loaded();
    run.List->viewport()->repaint();
    if (ready)
        ready();
    QElapsedTimer timer;
    timer.start();
    run.List->SetPath(path);
    while (run.List->Count() < entries)
        QApplication::processEvents(QEventLoop::AllEvents, kEventSliceMs);
    run.List->viewport()->repaint();
    run.Seconds = timer.nsecsElapsed() / 1e9;
    return run;
}

TModelFill FillModel(const QString& path, int entries, const std::function<void()>& ready)
{
    TModelFill run;
    run.Model = std::make_unique<QFileSystemModel>();
    run.View = std::make_unique<QTreeView>();
    run.View->setUniformRowHeights(true);
    run.View->resize(kPaneWidth, kPaneHeight);
    run.View->setModel(run.Model.get());
    run.View->show();
    QApplication::processEvents();
    if (ready)
        ready();
    QElapsedTimer timer;
    timer.start();
    const QModelIndex root = run.Model->setRootPath(path);
    run.View->setRootIndex(root);
    while (run.Model->rowCount(root) < entries || run.Model->canFetchMore(root)) {
        if (run.Model->canFetchMore(root))
            run.Model->fetchMore(root);
        QApplication::processEvents(QEventLoop::AllEvents, kEventSliceMs);
    }
    run.View->viewport()->repaint();
    run.Seconds = timer.nsecsElapsed() / 1e9;
    return run;
}
