#include "app/TProgram.h"

#include "app/TAboutBox.h"
#include "app/TMainForm.h"

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

    // The shell library and the two worker pools start here, before any window.

    QApplication::setApplicationName(kApplicationName);
    mainForm_ = std::make_unique<TMainForm>();
    aboutBox_ = new TAboutBox(mainForm_.get());
    mainForm_->SetAboutBox(aboutBox_);
}

TProgram::~TProgram()
{
    mainForm_.reset();
    // The worker pools stop here (each worker gets 3 s), then the shell library ends.
    if (qtTexts_)
        QCoreApplication::removeTranslator(qtTexts_.get());
}

int TProgram::Run()
{
    mainForm_->show();
    return QApplication::exec();
}
