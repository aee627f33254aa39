#include "framework/TCursorGuard.h"

#include <QApplication>
#include <QCursor>

TCursorGuard::TCursorGuard(Qt::CursorShape shape)
{
    QApplication::setOverrideCursor(QCursor(shape));
}

TCursorGuard::~TCursorGuard()
{
    QApplication::restoreOverrideCursor();
}
