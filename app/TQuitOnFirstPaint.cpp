#include "app/TQuitOnFirstPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

TQuitOnFirstPaint::TQuitOnFirstPaint(QWidget* window)
    : QObject(window)
{
    window->installEventFilter(this);
}

bool TQuitOnFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Quit once the paint has finished and reached the screen.
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return false;
}
