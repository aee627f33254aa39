#include "framework/Beep.h"
#include "framework/IconTitleFont.h"
#include "framework/TCursorGuard.h"
#include "framework/TickCount.h"
#include "framework/TImageList.h"
#include "framework/UiThread.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(UiThread, BlockingHandOverRunsTheStepOnTheUiThreadBeforeReturning)
{
    EXPECT_TRUE(IsUiThread());
    std::atomic<bool> ranOnUi{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_FALSE(IsUiThread());
        CallOnUiThread([&] { ranOnUi = IsUiThread(); });
        EXPECT_TRUE(ranOnUi.load());  // the step has run by the time the call returns
        returned = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }));
    worker.join();

    bool direct = false;
    CallOnUiThread([&] { direct = true; });  // on the UI thread: a plain call
    EXPECT_TRUE(direct);

    bool posted = false;
    PostToUiThread([&] { posted = true; });
    EXPECT_FALSE(posted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return posted; }));
}

TEST(TickCount, CountsMillisecondsOfTheMonotonicClock)
{
    // Bracketed by two timers: one started before the first reading, one after.
    QElapsedTimer outer;
    outer.start();
    const std::uint32_t start = GetTickCount();
    QElapsedTimer inner;
    inner.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return inner.elapsed() >= 50; }));
    const qint64 atLeast = inner.elapsed();
    const std::uint32_t ticks = GetTickCount() - start;
    const qint64 atMost = outer.elapsed();
    // Whole milliseconds on both sides: one each way for the rounding.
    EXPECT_GE(qint64(ticks), atLeast - 1);
    EXPECT_LE(qint64(ticks), atMost + 1);
}

TEST(CursorGuard, RestoresThePreviousCursorEvenWhenNested)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        TCursorGuard outer;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            TCursorGuard inner(Qt::ArrowCursor);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        }
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Beep, GoesThroughTheHookWhileOneIsSet)
{
    int beeps = 0;
    auto previous = SetBeepHook([&] { ++beeps; });
    Beep();
    Beep();
    SetBeepHook(previous);
    EXPECT_EQ(beeps, 2);
}

TEST(ImageList, ScalesPicturesToItsSizeAndAnswersNullOutOfRange)
{
    TImageList list(24, 24);
    QPixmap big(48, 30);
    big.fill(Qt::red);
    QPixmap exact(24, 24);
    exact.fill(Qt::blue);
    EXPECT_EQ(list.Add(big), 0);
    EXPECT_EQ(list.Add(exact), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Pixmap(0).size(), QSize(24, 24));
    EXPECT_TRUE(list.Pixmap(2).isNull());
    EXPECT_TRUE(list.Pixmap(-1).isNull());

    QImage canvas(30, 30, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        list.Draw(painter, 3, 3, 1);
        list.Draw(painter, 3, 3, 7);  // out of range: draws nothing
    }
    EXPECT_EQ(canvas.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(1, 1), QColor(Qt::white));

    list.SetImageSize(16, 16);
    EXPECT_EQ(list.Count(), 0);
}

TEST(MessageBox, ScopedHandlerAnswersAndRestoresThePreviousOne)
{
    TMessageRequest seen;
    {
        TScopedMessageHandler outer([](const TMessageRequest&) { return TMessageAnswer{0, false}; });
        {
            TScopedMessageHandler inner([&](const TMessageRequest& request) {
                seen = request;
                return TMessageAnswer{1, true};
            });
            TMessageRequest request;
            request.Caption = QStringLiteral("Frage");
            request.Buttons = {QStringLiteral("Ja"), QStringLiteral("Nein")};
            const TMessageAnswer answer = ShowMessageBox(request);
            EXPECT_EQ(answer.Button, 1);
            EXPECT_TRUE(answer.Checked);
        }
        EXPECT_EQ(ShowMessageBox(TMessageRequest{}).Button, 0);
    }
    EXPECT_EQ(seen.Caption, QStringLiteral("Frage"));
    EXPECT_EQ(seen.Buttons.size(), 2);
}

TEST(IconTitleFont, IsTheDesktopsGeneralFont)
{
    QFont font;
    ASSERT_TRUE(UseIconTitleFont(font));
    EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}
