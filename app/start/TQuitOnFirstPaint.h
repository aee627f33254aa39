#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Ends the application's event loop once the watched window has been painted
// showing what the run was asked to show, so that a start can be timed from
// outside: without a start file at its first paint; with one, at the first
// paint of a file list of the window that shows the file's folder with the
// file selected, or the folder itself when a folder was named (an argument
// that names neither counts as none).
class TQuitOnFirstPaint : public QObject
{
    Q_OBJECT
public:
    // The watcher becomes the window's child. startFile as given on the command line.
    explicit TQuitOnFirstPaint(QWidget* window, const QString& startFile = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when `painted` is the page of a shown file list of the window that
    // lists the start file's folder with the file selected (or the folder).
    bool ShowsStartFile(QObject* painted) const;

    QWidget* window_;
    QString folder_;  // the start file's folder, clean; empty without a start file
    QString name_;    // the start file's name; empty for a folder
};
