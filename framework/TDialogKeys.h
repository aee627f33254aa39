#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// Enter and Esc of a window, as a dialog answers them: Enter clicks the
// focused push button, else the window's default button (a button that declares
// the "default" and "cancel" roles as properties, as the bitmap buttons do); Esc (without
// Shift, Ctrl or Alt) clicks its cancel button. Keys that the focused control
// takes for itself never get here. Works in a QDialog (ahead of its own Esc
// handling) and in a plain window alike.
class TDialogKeys : public QObject
{
    Q_OBJECT
public:
    // Watches the window's keys, once per window; the watcher is the window's child.
    static void Install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TDialogKeys(QWidget* window);

    bool Enter(const QKeyEvent& key);
    bool Escape(const QKeyEvent& key);

    QWidget* window_;
};
