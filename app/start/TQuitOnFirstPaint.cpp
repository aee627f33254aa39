#include "app/start/TQuitOnFirstPaint.h"

#include "app/start/TStartFile.h"
#include "shell/panes/list/TPzShellList.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

TQuitOnFirstPaint::TQuitOnFirstPaint(QWidget* window, const QString& startFile)
    : QObject(window)
    , window_(window)
{
    const TStartFile file = startFile.isEmpty() ? TStartFile() : TStartFile::Check(startFile);
    if (!file.Path().isEmpty()) {
        const QFileInfo info(file.Path());
        // A folder is opened itself, a file shown selected in its folder.
        folder_ = QDir::cleanPath(file.IsFolder() ? info.absoluteFilePath() : info.absolutePath());
        if (!file.IsFolder())
            name_ = info.fileName();
        // The list paints its own page; the window's filter does not see that.
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        window->installEventFilter(this);
    }
}

bool TQuitOnFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && (folder_.isEmpty() || ShowsStartFile(watched))) {
        watched->removeEventFilter(this);
        QCoreApplication::instance()->removeEventFilter(this);
        // Quit once the paint has finished and reached the screen.
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return false;
}

bool TQuitOnFirstPaint::ShowsStartFile(QObject* painted) const
{
    const auto* page = qobject_cast<QWidget*>(painted);
    auto* list = page != nullptr ? qobject_cast<TPzShellList*>(page->parentWidget()) : nullptr;
    return list != nullptr && page == list->viewport() && list->window() == window_ && list->isVisible() &&
           QDir::cleanPath(list->Path()) == folder_ && (name_.isEmpty() || list->SelectedNames() == QStringList{name_});
}
