#include "controls/buttons/ButtonLayout.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

const QSize kGlyph(18, 18);
const QRect kClient(0, 0, 200, 40);

class ButtonLayoutTest : public testing::Test
{
protected:
    QFontMetrics metrics_{QApplication::font()};
    QString caption_ = QStringLiteral("Beenden");

    QSize Text() const
    {
        return metrics_.boundingRect(QRect(0, 0, kClient.width(), 0), kCaptionTextFlags, caption_).size();
    }

    TGlyphLayout Layout(TButtonLayout layout, int margin, int spacing, bool rightToLeft = false,
                        const QRect& client = kClient, const QPoint& offset = QPoint()) const
    {
        return ComputeLayout(client, offset, caption_, layout, margin, spacing, rightToLeft, kGlyph, metrics_);
    }
};

}  // namespace

TEST_F(ButtonLayoutTest, DefaultsCentreGlyphAndCaptionAsOneGroup)
{
    const TGlyphLayout placed = Layout(blGlyphLeft, -1, 4);
    const int total = kGlyph.width() + 4 + Text().width();
    EXPECT_EQ(placed.GlyphPos.x(), (kClient.width() - total + 1) / 2);
    EXPECT_EQ(placed.TextBounds.left(), placed.GlyphPos.x() + kGlyph.width() + 4);
    EXPECT_EQ(placed.GlyphPos.y(), (kClient.height() - kGlyph.height() + 1) / 2);
    EXPECT_EQ(placed.TextBounds.top(), (kClient.height() - Text().height() + 1) / 2);
    EXPECT_EQ(placed.TextBounds.size(), Text());
}

TEST_F(ButtonLayoutTest, SpreadEvenlySplitsTheFreeWidthInThree)
{
    const TGlyphLayout placed = Layout(blGlyphLeft, -1, -1);
    const int third = (kClient.width() - kGlyph.width() - Text().width()) / 3;
    EXPECT_EQ(placed.GlyphPos.x(), third);
    EXPECT_EQ(placed.TextBounds.left() - (placed.GlyphPos.x() + kGlyph.width()), third);
    const int after = kClient.width() - placed.TextBounds.right() - 1;
    EXPECT_LE(std::abs(after - third), 2);
}

TEST_F(ButtonLayoutTest, GivenMarginWithSpreadSpacing)
{
    const TGlyphLayout placed = Layout(blGlyphLeft, 10, -1);
    const int spacing = (kClient.width() - (10 + kGlyph.width()) - Text().width()) / 2;
    EXPECT_EQ(placed.GlyphPos.x(), 10);
    EXPECT_EQ(placed.TextBounds.left(), 10 + kGlyph.width() + spacing);
}

TEST_F(ButtonLayoutTest, GlyphOnTheOtherSidesAndRightToLeft)
{
    const TGlyphLayout right = Layout(blGlyphRight, 6, 3);
    EXPECT_EQ(right.GlyphPos.x(), kClient.width() - 6 - kGlyph.width());
    EXPECT_EQ(right.TextBounds.left(), right.GlyphPos.x() - 3 - Text().width());

    const TGlyphLayout mirrored = Layout(blGlyphLeft, 6, 3, true);
    EXPECT_EQ(mirrored.GlyphPos, right.GlyphPos);
    EXPECT_EQ(mirrored.TextBounds, right.TextBounds);

    const QRect tall(0, 0, 80, 120);
    const TGlyphLayout top = Layout(blGlyphTop, 5, 2, false, tall);
    EXPECT_EQ(top.GlyphPos, QPoint((80 - kGlyph.width() + 1) / 2, 5));
    EXPECT_EQ(top.TextBounds.top(), 5 + kGlyph.height() + 2);
    const TGlyphLayout bottom = Layout(blGlyphBottom, 5, 2, false, tall);
    EXPECT_EQ(bottom.GlyphPos.y(), 120 - 5 - kGlyph.height());
    EXPECT_EQ(bottom.TextBounds.top(), bottom.GlyphPos.y() - 2 - Text().height());
}

TEST_F(ButtonLayoutTest, EmptyCaptionCentresTheGlyphAlone)
{
    caption_.clear();
    for (const int spacing : {4, -1}) {
        const TGlyphLayout placed = Layout(blGlyphLeft, -1, spacing);
        EXPECT_EQ(placed.GlyphPos.x(), (kClient.width() - kGlyph.width() + 1) / 2);
        EXPECT_TRUE(placed.TextBounds.isEmpty());
    }
}

TEST_F(ButtonLayoutTest, ClientOriginAndOffsetMoveEverything)
{
    const TGlyphLayout plain = Layout(blGlyphLeft, -1, 4);
    const TGlyphLayout moved = Layout(blGlyphLeft, -1, 4, false, kClient.translated(3, 2), QPoint(1, 1));
    EXPECT_EQ(moved.GlyphPos, plain.GlyphPos + QPoint(4, 3));
    EXPECT_EQ(moved.TextBounds, plain.TextBounds.translated(4, 3));
}
