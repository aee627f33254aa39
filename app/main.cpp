#include <QApplication>
#include <QLabel>
#include <QLocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication::setApplicationName(QStringLiteral("Parzello"));

    // Stands in for the main window until it is built.
    QLabel placeholder(QStringLiteral("Parzello – das Hauptfenster folgt."));
    placeholder.setWindowTitle(QStringLiteral("Parzello"));
    placeholder.setMinimumSize(420, 120);
    placeholder.setAlignment(Qt::AlignCenter);
    placeholder.show();
    return application.exec();
}
