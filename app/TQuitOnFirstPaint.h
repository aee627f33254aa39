#pragma once

#include <QObject>

class QWidget;

// Ends the application's event loop after the watched window has been
// painted for the first time.
class TQuitOnFirstPaint : public QObject
{
    Q_OBJECT
public:
    // The watcher becomes the window's child.
    explicit TQuitOnFirstPaint(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
