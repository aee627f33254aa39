#pragma once

#include <memory>

class QString;
class QTranslator;
class TAboutBox;
class TMainForm;
class TShellLibrary;
class TStartOptions;
class TWorkerPools;

// One run of the program from start to end: what is started before the
// windows exist, the main window and the about box, the message loop, and what
// is stopped at the end. Needs the QApplication to exist. Throws
// EShellNavigatorError when the shell library cannot start.
class TProgram
{
public:
    TProgram();
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    TMainForm& MainForm() { return *mainForm_; }
    TAboutBox& AboutBox() { return *aboutBox_; }

    // Shows the main window and runs the message loop until it is closed
    // (by "Beenden", Esc or the close box); returns the exit code.
    int Run(const TStartOptions& options);

private:
    // Shows the file or folder named on the command line, or says why the name is neither.
    void OpenStartFile(const QString& argument);

    std::unique_ptr<QTranslator> qtTexts_;
    std::unique_ptr<TShellLibrary> shellLibrary_;
    std::unique_ptr<TWorkerPools> workerPools_;
    std::unique_ptr<TMainForm> mainForm_;
    TAboutBox* aboutBox_ = nullptr;  // owned by the main window
};
