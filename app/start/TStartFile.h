#pragma once

#include <QString>

// The file or folder named on the command line ("parzello FILE", or the desktop's
// "Öffnen mit"), checked before the main window is asked to show it.
class TStartFile
{
public:
    // Reads `argument` as a path (relative to the working folder) or as a
    // file:// address, the form some desktops hand over.
    static TStartFile Check(const QString& argument);

    // The absolute path of the regular file or folder (links followed to one);
    // empty when the argument names neither.
    const QString& Path() const { return path_; }
    // The argument names a folder, which the window opens.
    bool IsFolder() const { return isFolder_; }

    // Why the argument names no file, in German for the user; empty when it does.
    const QString& Problem() const { return problem_; }

private:
    QString path_;
    QString problem_;
    bool isFolder_ = false;
};
