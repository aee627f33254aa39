#include "SpinTestSupport.h"

#include "controls/spin/TPzSpinButton.h"
#include "controls/spin/TPzUpDown.h"

#include <QToolButton>

namespace {

// An edit placed by hand in a shown window, with a font small enough for a 21-pixel-high field.
class TSpinLayoutTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(300, 100);
        edit_ = new TPzSpinEdit(window_.get());
        QFont font = edit_->font();
        font.setPixelSize(10);
        edit_->setFont(font);
        edit_->setGeometry(10, 10, 120, 21);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    std::unique_ptr<QWidget> window_;
    TPzSpinEdit* edit_ = nullptr;
};

TEST_F(TSpinLayoutTest, TheDiagonalButtonSitsSquareAtTheRightEdgeInsideTheBorder)
{
    ASSERT_EQ(edit_->height(), 21);
    EXPECT_EQ(edit_->ButtonWindow()->geometry(), QRect(100, 1, 18, 18));
    EXPECT_EQ(edit_->SpinButton()->geometry(), QRect(0, 0, 18, 18));
    EXPECT_EQ(edit_->textMargins(), QMargins(0, 0, 20, 0));

    edit_->resize(200, 30);
    EXPECT_EQ(edit_->ButtonWindow()->geometry(), QRect(200 - 30 + 1, 1, 27, 27));
    EXPECT_EQ(edit_->SpinButton()->size(), QSize(27, 27));
}

TEST_F(TSpinLayoutTest, WithoutABorderTheButtonTakesTheFullHeight)
{
    edit_->setFrame(false);
    edit_->resize(100, 21);
    EXPECT_EQ(edit_->ButtonWindow()->geometry(), QRect(79, 0, 21, 21));
    EXPECT_EQ(edit_->textMargins(), QMargins(0, 0, 23, 0));
}

TEST_F(TSpinLayoutTest, RightToLeftReadingPutsTheButtonAtTheLeftEdge)
{
    edit_->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(edit_->ButtonWindow()->geometry(), QRect(1, 1, 18, 18));
    EXPECT_EQ(edit_->textMargins(), QMargins(20, 0, 0, 0));
}

TEST_F(TSpinLayoutTest, TheEditIsNeverLowerThanItsFontNeeds)
{
    edit_->resize(120, 5);
    EXPECT_EQ(edit_->height(), edit_->MinimumEditHeight());
    EXPECT_EQ(edit_->MinimumEditHeight(), edit_->fontMetrics().height() + 5);

    QFont big = edit_->font();
    big.setPixelSize(30);
    edit_->setFont(big);
    EXPECT_GE(edit_->height(), QFontMetrics(big).height() + 5);
    EXPECT_EQ(edit_->ButtonWindow()->height(), edit_->height() - 3);
}

TEST_F(TSpinLayoutTest, TheStandardKindIsANarrowUpDownThatStepsAndFocuses)
{
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    edit_->SetButtonKind(bkStandard);
    ASSERT_EQ(edit_->SpinButton(), nullptr);
    ASSERT_EQ(edit_->ButtonWindow(), nullptr);
    TPzUpDown* upDown = edit_->UpDown();
    ASSERT_NE(upDown, nullptr);
    EXPECT_LE(upDown->width(), TPzUpDown::kMaxWidth);
    EXPECT_EQ(upDown->geometry().right(), edit_->width() - 1 - TPzSpinEdit::kEdgeWidth);
    EXPECT_EQ(edit_->textMargins().right(), upDown->width() + 2);

    edit_->clearFocus();
    int tops = 0;
    edit_->OnTopClick = [&] { ++tops; };
    upDown->UpButton()->click();
    upDown->UpButton()->click();
    upDown->DownButton()->click();
    EXPECT_EQ(edit_->text(), "1");
    EXPECT_EQ(tops, 2);
    EXPECT_TRUE(edit_->hasFocus());

    edit_->SetButtonKind(bkDiagonal);
    EXPECT_EQ(edit_->UpDown(), nullptr);
    EXPECT_EQ(edit_->ButtonWindow()->geometry(), QRect(100, 1, 18, 18));
}

TEST_F(TSpinLayoutTest, TheButtonFollowsTheEditBeingDisabled)
{
    edit_->setEnabled(false);
    EXPECT_FALSE(edit_->SpinButton()->isEnabled());
    edit_->setEnabled(true);
    EXPECT_TRUE(edit_->SpinButton()->isEnabled());
}

}  // namespace
