#include "app/TProgram.h"

#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/TQuitOnFirstPaint.h"
#include "app/TStartOptions.h"
#include "platform/commands/PropertiesHook.h"
#include "platform/dialogs/PropertiesDialog.h"
#include "shell/navigator/TShellLibrary.h"
#include "shell/threads/TWorkerPools.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
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

} // namespace

TProgram::TProgram()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    qtTexts_ = InstallQtTexts();
    SetPropertiesHandler(ShowItemPropertiesDialog);

    // The shell library and the two worker pools start before any window.
    shellLibrary_ = std::make_unique<TShellLibrary>();
    workerPools_ = std::make_unique<TWorkerPools>();

    QApplication::setApplicationName(kApplicationName);
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
        new TQuitOnFirstPaint(mainForm_.get());
    mainForm_->show();
    return QApplication::exec();
}
