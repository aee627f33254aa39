#include "app/TStartOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

TStartOptions::TStartOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Teilt eine Datei in nummerierte Stücke und fügt eine Stückfolge wieder zusammen."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"),
                                     QStringLiteral("Beendet das Programm, sobald sein Fenster gezeichnet ist."));
    quitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitWhenShown);
    parser.addPositionalArgument(QStringLiteral("Datei"), QStringLiteral("Die Datei, die das Fenster zeigen soll."),
                                 QStringLiteral("[Datei]"));
    parser.process(arguments);
    quitWhenShown_ = parser.isSet(quitWhenShown);
    const QStringList names = parser.positionalArguments();
    if (!names.isEmpty())
        file_ = names.first();
}
