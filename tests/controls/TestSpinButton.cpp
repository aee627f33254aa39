#include "SpinTestSupport.h"

#include "controls/spin/TPzSpinButton.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>

namespace {

// A shown window holding an 18 x 18 button, pressed through the window system as a user would,
// so that the application knows which mouse buttons are down.
class TSpinButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(100, 100);
        button_ = new TPzSpinButton(window_.get());
        button_->setGeometry(10, 10, 18, 18);
        button_->OnTopClick = [this] { ++tops_; };
        button_->OnBottomClick = [this] { ++bottoms_; };
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    void TearDown() override
    {
        if (pressed_)
            Release({-20, -20});
        window_.reset();
    }

    QPoint InWindow(QPoint point) const { return button_->mapTo(window_.get(), point); }
    void Press(QPoint point)
    {
        pressed_ = true;
        QTest::mousePress(window_->windowHandle(), Qt::LeftButton, {}, InWindow(point));
    }
    void Move(QPoint point) { QTest::mouseMove(window_->windowHandle(), InWindow(point)); }
    void Release(QPoint point)
    {
        pressed_ = false;
        QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, {}, InWindow(point));
    }
    // Lets the repeat timer's time run out at once.
    void FireRepeatTimer()
    {
        ASSERT_NE(button_->RepeatTimer(), nullptr);
        ASSERT_TRUE(button_->RepeatTimer()->isActive());
        ASSERT_TRUE(QMetaObject::invokeMethod(button_->RepeatTimer(), "timeout"));
    }

    std::unique_ptr<QWidget> window_;
    TPzSpinButton* button_ = nullptr;
    int tops_ = 0;
    int bottoms_ = 0;
    bool pressed_ = false;
};

TEST(SpinButtonHalves, TheDiagonalFromLowerLeftToUpperRightSplitsTheHalves)
{
    TPzSpinButton button;
    EXPECT_EQ(button.size(), QSize(20, 20));
    EXPECT_EQ(button.HalfAt({0, 0}), sbTopDown);
    EXPECT_EQ(button.HalfAt({19, 19}), sbBottomDown);
    EXPECT_EQ(button.HalfAt({10, 10}), sbTopDown);
    EXPECT_EQ(button.HalfAt({10, 11}), sbBottomDown);
    EXPECT_EQ(button.HalfAt({0, 19}), sbTopDown);
    EXPECT_EQ(button.HalfAt({19, 1}), sbTopDown);
    EXPECT_EQ(button.HalfAt({19, 2}), sbBottomDown);

    button.resize(40, 20);
    EXPECT_EQ(button.HalfAt({20, 10}), sbTopDown);
    EXPECT_EQ(button.HalfAt({20, 11}), sbBottomDown);
    EXPECT_EQ(button.HalfAt({39, 0}), sbTopDown);
}

TEST_F(TSpinButtonTest, APressStepsAtOnceThenRepeatsAfterTheFirstDelayAndThenFaster)
{
    Press({3, 3});
    EXPECT_EQ(tops_, 1);
    EXPECT_EQ(button_->Down(), sbTopDown);
    ASSERT_NE(button_->RepeatTimer(), nullptr);
    EXPECT_TRUE(button_->RepeatTimer()->isActive());
    EXPECT_EQ(button_->RepeatTimer()->interval(), 400);

    FireRepeatTimer();
    EXPECT_EQ(tops_, 2);
    EXPECT_EQ(button_->RepeatTimer()->interval(), 100);
    FireRepeatTimer();
    EXPECT_EQ(tops_, 3);
    EXPECT_EQ(bottoms_, 0);

    Release({3, 3});
    EXPECT_EQ(button_->Down(), sbNotDown);
    EXPECT_FALSE(button_->RepeatTimer()->isActive());

    Press({15, 15});
    EXPECT_EQ(bottoms_, 1);
    EXPECT_EQ(button_->Down(), sbBottomDown);
    EXPECT_EQ(button_->RepeatTimer()->interval(), 400);
    Release({15, 15});
}

TEST_F(TSpinButtonTest, DraggingOffThePressedHalfPausesTheRepeat)
{
    Press({15, 15});
    Move({3, 3});
    EXPECT_EQ(button_->Down(), sbNotDown);
    FireRepeatTimer();
    EXPECT_EQ(bottoms_, 1);
    EXPECT_EQ(tops_, 0);

    Move({16, 14});
    EXPECT_EQ(button_->Down(), sbBottomDown);
    FireRepeatTimer();
    EXPECT_EQ(bottoms_, 2);

    Move({40, 40});
    EXPECT_EQ(button_->Down(), sbNotDown);
    FireRepeatTimer();
    EXPECT_EQ(bottoms_, 2);

    Release({40, 40});
    EXPECT_EQ(button_->Down(), sbNotDown);
    EXPECT_FALSE(button_->RepeatTimer()->isActive());
}

TEST_F(TSpinButtonTest, AReleaseSwallowedDuringAStepEndsThePress)
{
    // A step that opens a window which takes the release, as a message box would.
    QWidget elsewhere;
    elsewhere.resize(50, 50);
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    button_->OnTopClick = [&] {
        ++tops_;
        QTest::mouseRelease(elsewhere.windowHandle(), Qt::LeftButton, {}, {5, 5});
    };
    Press({3, 3});
    pressed_ = false;
    EXPECT_EQ(tops_, 1);
    EXPECT_EQ(button_->Down(), sbNotDown);
    EXPECT_FALSE(button_->RepeatTimer()->isActive());
}

TEST_F(TSpinButtonTest, DisablingTheButtonEndsThePress)
{
    Press({3, 3});
    button_->setEnabled(false);
    EXPECT_EQ(button_->Down(), sbNotDown);
    EXPECT_FALSE(button_->RepeatTimer()->isActive());
    Release({3, 3});
    Press({3, 3});
    EXPECT_EQ(tops_, 1);
}

TEST_F(TSpinButtonTest, HoldingRepeatsInRealTimeNotBeforeTheFirstDelay)
{
    QElapsedTimer clock;
    qint64 secondStepAt = 0;
    button_->OnTopClick = [&] {
        if (++tops_ == 2)
            secondStepAt = clock.elapsed();
    };
    clock.start();
    Press({3, 3});
    ASSERT_TRUE(QTest::qWaitFor([this] { return tops_ >= 3; }, 5000));
    EXPECT_GE(secondStepAt, TPzSpinButton::kFirstRepeatDelay);
    Release({3, 3});
}

TEST_F(TSpinButtonTest, APressFocusesTheFocusControl)
{
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    auto* edit = new QLineEdit(window_.get());
    edit->setGeometry(40, 10, 50, 20);
    edit->show();
    button_->SetFocusControl(edit);
    Press({3, 3});
    Release({3, 3});
    EXPECT_TRUE(edit->hasFocus());
    delete edit;
    EXPECT_EQ(button_->FocusControl(), nullptr);
}

TEST_F(TSpinButtonTest, InsideTheSpinEditTheHalvesStepTheValue)
{
    auto* edit = new TPzSpinEdit(window_.get());
    edit->setGeometry(10, 40, 80, 24);
    edit->show();
    edit->SetValue(5);
    button_ = edit->SpinButton();
    const int side = button_->width();
    Press({2, 2});
    Release({2, 2});
    EXPECT_EQ(edit->text(), "6");
    Press({side - 2, side - 2});
    Release({side - 2, side - 2});
    Press({side - 2, side - 2});
    Release({side - 2, side - 2});
    EXPECT_EQ(edit->text(), "4");
}

// Distinct colours for the roles the drawing uses, so every pixel tells which line made it.
QPalette DrawingPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(QPalette::Light, QColor(255, 255, 255));
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    return palette;
}

QImage Drawn(TSpinButtonState state)
{
    QImage image(18, 18, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    TPzSpinButton::Draw(painter, image.size(), state, DrawingPalette());
    return image;
}

TEST(SpinButtonDrawing, EdgesDiagonalsAndArrowsAtRest)
{
    const QImage image = Drawn(sbNotDown);
    const QPalette p = DrawingPalette();
    auto at = [&](int x, int y) { return image.pixelColor(x, y); };
    EXPECT_EQ(at(0, 0), p.color(QPalette::Shadow));
    EXPECT_EQ(at(17, 9), p.color(QPalette::Shadow));
    EXPECT_EQ(at(5, 12), p.color(QPalette::Shadow));  // the cutting diagonal
    EXPECT_EQ(at(1, 5), p.color(QPalette::Light));    // upper outer edges
    EXPECT_EQ(at(5, 1), p.color(QPalette::Light));
    EXPECT_EQ(at(1, 15), p.color(QPalette::Dark));  // upper diagonal edge
    EXPECT_EQ(at(15, 1), p.color(QPalette::Dark));
    EXPECT_EQ(at(8, 16), p.color(QPalette::Dark));  // lower outer edges
    EXPECT_EQ(at(16, 8), p.color(QPalette::Dark));
    EXPECT_EQ(at(2, 16), p.color(QPalette::Light));  // lower diagonal edge
    EXPECT_EQ(at(9, 9), p.color(QPalette::Light));
    EXPECT_EQ(at(4, 10), p.color(QPalette::Button));
    EXPECT_EQ(at(5, 3), p.color(QPalette::ButtonText));  // up arrow's tip at (3, 3)
    EXPECT_EQ(at(3, 5), p.color(QPalette::ButtonText));
    EXPECT_EQ(at(3, 3), p.color(QPalette::Button));
    EXPECT_EQ(at(9, 12), p.color(QPalette::ButtonText));  // down arrow at (9, 9)
    EXPECT_EQ(at(11, 14), p.color(QPalette::ButtonText));
    EXPECT_EQ(at(10, 14), p.color(QPalette::Button));
}

TEST(SpinButtonDrawing, PressedHalvesSinkAndTheUpArrowMoves)
{
    const QPalette p = DrawingPalette();
    const QImage up = Drawn(sbTopDown);
    EXPECT_EQ(up.pixelColor(1, 5), p.color(QPalette::Dark));
    EXPECT_EQ(up.pixelColor(5, 1), p.color(QPalette::Dark));
    EXPECT_EQ(up.pixelColor(1, 15), p.color(QPalette::Button));
    EXPECT_EQ(up.pixelColor(15, 1), p.color(QPalette::Button));
    EXPECT_EQ(up.pixelColor(6, 4), p.color(QPalette::ButtonText));
    EXPECT_EQ(up.pixelColor(5, 3), p.color(QPalette::Button));

    const QImage down = Drawn(sbBottomDown);
    EXPECT_EQ(down.pixelColor(8, 16), p.color(QPalette::Light));
    EXPECT_EQ(down.pixelColor(16, 8), p.color(QPalette::Light));
    EXPECT_EQ(down.pixelColor(9, 9), p.color(QPalette::Dark));
    EXPECT_EQ(down.pixelColor(10, 9), p.color(QPalette::Dark));  // the extra shadow line
    EXPECT_EQ(down.pixelColor(9, 12), p.color(QPalette::ButtonText));
    EXPECT_EQ(down.pixelColor(5, 3), p.color(QPalette::ButtonText));
}

TEST(SpinButtonDrawing, TheWidgetPaintsWithItsPalette)
{
    TPzSpinButton button;
    button.setPalette(DrawingPalette());
    button.resize(18, 18);
    const QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 3), QColor(0, 0, 255));
}

}  // namespace
