#include "app/start/TProgram.h"

#include "app/forms/FormSupport.h"
#include "app/forms/TAboutBox.h"
#include "app/forms/TMainForm.h"
#include "app/start/TQuitOnFirstPaint.h"
#include "app/start/TStartFile.h"
#include "app/start/TStartOptions.h"
#include "framework/MessageBox.h"
#include "platform/commands/PropertiesHook.h"
#include "platform/dialogs/PropertiesDialog.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/threads/TWorkerPools.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

namespace {

const QString kApplicationName = QStringLiteral("Parzello");

// Qt's own texts (the memo's context menu, standard buttons) in German.
std::unique_ptr<QTranslator> InstallQtTexts()
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

// The window icon from the PNGs built into the program, every size of them,
// for desktops that take it from the window rather than the desktop entry.
QIcon ApplicationIcon()
{
    InitAppResources();
    const QDir iconDir(QStringLiteral(":/parzello/appicon"));
    QIcon icon;
    for (const QString& name : iconDir.entryList(QDir::Files))
        icon.addFile(iconDir.filePath(name));
    return icon;
}

}  // namespace

TProgram::TProgram()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    qtTexts_ = InstallQtTexts();
    SetPropertiesHandler(ShowItemPropertiesDialog);

    // The shell library and the two worker pools start before any window.
    shellLibrary_ = std::make_unique<TShellLibrary>();
    workerPools_ = std::make_unique<TWorkerPools>();

    QApplication::setApplicationName(kApplicationName);
    // Ties the windows to the installed desktop entry (its name, its icon).
    QGuiApplication::setDesktopFileName(QStringLiteral(PARZELLO_APP_ID));
    QApplication::setWindowIcon(ApplicationIcon());
    mainForm_ = std::make_unique<TMainForm>();
    aboutBox_ = new TAboutBox(mainForm_.get());
    mainForm_->SetAboutBox(aboutBox_);
}

TProgram::~TProgram()
{
    mainForm_.reset();
    // The pools stop their workers (each gets its hard-kill timeout), then the shell library ends.
    workerPools_.reset();
    shellLibrary_.reset();
    if (qtTexts_)
        QCoreApplication::removeTranslator(qtTexts_.get());
}

int TProgram::Run(const TStartOptions& options)
{
    if (options.QuitWhenShown())
        new TQuitOnFirstPaint(mainForm_.get(), options.File());
    mainForm_->show();
    if (!options.File().isEmpty()) {
        // Once the loop runs, so that a message about the name stands over the shown window.
        QTimer::singleShot(0, mainForm_.get(), [this, file = options.File()] { OpenStartFile(file); });
    }
    return QApplication::exec();
}

void TProgram::OpenStartFile(const QString& argument)
{
    const TStartFile file = TStartFile::Check(argument);
    if (!file.Problem().isEmpty()) {
        TMessageRequest request;
        request.Owner = mainForm_.get();
        request.Caption = kApplicationName;
        request.Text = file.Problem();
        request.Icon = TMessageIcon::Warning;
        ShowMessageBox(request);
        return;
    }
    if (file.IsFolder())
        mainForm_->ShowStartFolder(file.Path());
    else
        mainForm_->ShowStartFile(file.Path());
}
