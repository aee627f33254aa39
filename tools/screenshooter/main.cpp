#include "app/forms/TAboutBox.h"
#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTabWidget>
#include <QWindow>

#include <cstdio>

namespace {

// Long enough for a loaded Xvfb to map a window; a window that takes longer is broken.
constexpr int kExposeTimeoutMs = 10000;

bool WaitUntilExposed(QWidget& window)
{
    const QDeadlineTimer deadline(kExposeTimeoutMs);
    while (!deadline.hasExpired()) {
        if (window.windowHandle() && window.windowHandle()->isExposed())
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // Let the first paint and any pending layout run.
    QCoreApplication::processEvents();
    return window.windowHandle() && window.windowHandle()->isExposed();
}

bool Save(QWidget& widget, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

// Usage: pzscreenshot DIR
// Writes main-split.png, main-join.png and about.png into DIR.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pzscreenshot DIR\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    TProgram program;
    TMainForm& form = program.MainForm();
    form.show();
    if (!WaitUntilExposed(form)) {
        std::fprintf(stderr, "the main window did not appear\n");
        return 1;
    }
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    bool saved = Save(form, folder, QStringLiteral("main-split.png"));
    pages->setCurrentIndex(1);
    QCoreApplication::processEvents();
    saved = Save(form, folder, QStringLiteral("main-join.png")) && saved;
    pages->setCurrentIndex(0);

    TAboutBox& box = program.AboutBox();
    box.show();
    if (!WaitUntilExposed(box)) {
        std::fprintf(stderr, "the about box did not appear\n");
        return 1;
    }
    saved = Save(box, folder, QStringLiteral("about.png")) && saved;
    box.hide();
    return saved ? 0 : 1;
}
