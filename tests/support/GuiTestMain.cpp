#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Tests of widgets, icons and event-driven services need a running application
// object; the platform plugin comes from QT_QPA_PLATFORM (offscreen under ctest).
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
