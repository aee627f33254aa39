#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of a run: "parzello [Optionen] [Datei]".
// "--help" and "--version" print their answer and end the program while the
// line is read.
class TStartOptions
{
public:
    // Reads the arguments (the program's name first); needs the application object.
    explicit TStartOptions(const QStringList& arguments);

    // Ends the run as soon as the main window has been painted once: a check
    // that the program starts, for scripts. Not listed in the help.
    bool QuitWhenShown() const { return quitWhenShown_; }

    // The file the window is to show, as given (a path or a file:// address);
    // empty when none was named. Names after the first are ignored: the
    // desktop starts one run per file.
    const QString& File() const { return file_; }

private:
    bool quitWhenShown_ = false;
    QString file_;
};
