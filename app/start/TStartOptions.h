#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks of a run, read by GNU conventions before any
// window system is touched (so that "--help", "--version" and the work
// without a window need no display):
//   parzello [DATEI|ORDNER]                       the window
//   parzello --split DATEI [--size N|--preset P]  a split without a window
//   parzello --join TEIL [--replace]              a join without a window
class TStartOptions
{
public:
    // NoDisplay: the window was asked for where no window system is named.
    enum class TAction { Window, Help, Version, Split, Join, UsageError, NoDisplay };

    // Reads the arguments, the program's name first; paths stay the bytes given.
    explicit TStartOptions(const std::vector<std::string>& arguments);
    explicit TStartOptions(const QStringList& arguments);
    // The line as main gets it, before Qt has taken out its own options
    // (-platform, -style, ...): single-dash options it does not know are left
    // to Qt when the window opens, and read again from what Qt leaves. A window
    // with neither DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM nor -platform to
    // show it on is NoDisplay: Qt would abort the process without a word of German.
    static TStartOptions FromMain(int argc, char* argv[]);

    TAction Action() const { return action_; }
    // Why the line is no valid call, in German (UsageError only).
    const std::string& Problem() const { return problem_; }

    // Ends the run as soon as the main window has been painted once: a check
    // that the program starts, for scripts. Not listed in the help.
    bool QuitWhenShown() const { return quitWhenShown_; }
    // The file or folder the window is to show, as given (a path or a file://
    // address); empty when none was named. Names after the first are ignored:
    // the desktop starts one run per file.
    const QString& File() const { return file_; }

    // The file to split or the piece to join, as its bytes.
    const std::string& WorkPath() const { return workPath_; }
    // The split's piece size: --size, --preset or the window's default.
    std::int64_t PieceSize() const { return pieceSize_; }
    // The join may replace a file of the rebuilt file's name.
    bool Replace() const { return replace_; }

    // What --help and --version print.
    static std::string HelpText();
    static std::string VersionText();

private:
    TStartOptions();
    void Read(const std::vector<std::string>& arguments);
    void Refuse(const std::string& problem);

    TAction action_ = TAction::Window;
    std::string problem_;
    bool quitWhenShown_ = false;
    QString file_;
    std::string workPath_;
    std::int64_t pieceSize_;
    bool replace_ = false;
    bool leavesQtOptions_ = false;  // FromMain: unknown single-dash options may be Qt's
};
