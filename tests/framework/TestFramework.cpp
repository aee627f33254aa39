#include "framework/Beep.h"
#include "framework/IconTitleFont.h"
#include "framework/TCursorGuard.h"
#include "framework/TDragAutoScroll.h"
#include "framework/TickCount.h"
#include "framework/TImageList.h"
#include "framework/UiThread.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
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

// A drag near an edge scrolls one line that way, near a corner both ways, at
// most once an interval and not in the first one after the drag came in.
TEST(DragAutoScroll, StepsALineTowardsTheEdgesAtMostOnceAnInterval)
{
    QListWidget view;
    for (int i = 0; i < 200; ++i)
        view.addItem(QString(80, QLatin1Char('x')) + QString::number(i));
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QScrollBar& down = *view.verticalScrollBar();
    QScrollBar& across = *view.horizontalScrollBar();
    down.setValue(10);
    across.setValue(across.maximum() / 2);
    const QSize area = view.viewport()->size();
    TDragAutoScroll scroll(view);

    scroll.Begin();
    EXPECT_FALSE(scroll.Step({2, 2}));
    const int top = down.value();
    const int left = across.value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroll.Step({2, 2}); }));
    EXPECT_LT(down.value(), top);
    EXPECT_LT(across.value(), left);
    QElapsedTimer sinceStep;
    sinceStep.start();
    EXPECT_FALSE(scroll.Step({2, 2}));  // within the interval

    // Once the interval is over: nothing away from the edges, a line down at the bottom.
    ASSERT_TRUE(QTest::qWaitFor([&] { return sinceStep.elapsed() > TDragAutoScroll::kIntervalMs; }));
    EXPECT_FALSE(scroll.Step({area.width() / 2, area.height() / 2}));
    const int middle = down.value();
    EXPECT_TRUE(scroll.Step({area.width() / 2, area.height() - 2}));
    EXPECT_GT(down.value(), middle);
}
