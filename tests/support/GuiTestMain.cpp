#include "tests/support/THangWatch.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Far beyond the slowest test under the sanitizers, well within ctest's timeout.
constexpr std::chrono::seconds kHangLimit{150};

// PARZELLO_TEST_HANG_SECONDS shortens or lengthens the limit, say under a debugger.
std::chrono::seconds HangLimit()
{
    bool valid = false;
    const int seconds = qEnvironmentVariableIntValue("PARZELLO_TEST_HANG_SECONDS", &valid);
    return valid && seconds > 0 ? std::chrono::seconds(seconds) : kHangLimit;
}

}  // namespace

// Tests of widgets, icons and event-driven services need a running application
// object; the platform plugin comes from QT_QPA_PLATFORM (offscreen under ctest).
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    testing::InitGoogleTest(&argc, argv);
    // Google Test owns its listeners.
    testing::UnitTest::GetInstance()->listeners().Append(new THangWatch(HangLimit()));
    return RUN_ALL_TESTS();
}
