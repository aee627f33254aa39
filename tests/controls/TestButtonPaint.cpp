#include "ButtonTestSupport.h"

#include "controls/buttons/KindGlyphs.h"
#include "controls/buttons/TBitBtnXP.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QRgb kGreen = qRgb(0x00, 0x80, 0x00);
const QRgb kGrey = qRgb(0x80, 0x80, 0x80);
const QSize kButtonSize(140, 36);

// A pixel of the colour in the given cell of a kind's glyph, relative to the cell.
QPoint PixelInCell(TBitBtnXPKind kind, int cell, QRgb color)
{
    const QImage& glyph = KindGlyph(kind);
    const int width = glyph.width() / 2;
    const auto found = FindPixel(glyph, QRect(cell * width, 0, width, glyph.height()), color);
    EXPECT_TRUE(found.has_value());
    return found.value_or(QPoint()) - QPoint(cell * width, 0);
}

class ButtonPaintTest : public testing::TestWithParam<bool>
{
protected:
    TThemeSwitch theme_{GetParam()};
};

}  // namespace

TEST_P(ButtonPaintTest, GlyphSitsWhereTheLayoutPutsIt)
{
    ASSERT_EQ(ThemesActive(), GetParam());
    TBitBtnXP button;
    button.SetKind(bkOK);
    button.resize(kButtonSize);
    const QImage face = button.grab().toImage();

    // A default button lays out inside its one-pixel default frame.
    const QRect inner = button.rect().adjusted(1, 1, -1, -1);
    const TGlyphLayout expected =
        ComputeLayout(inner, QPoint(), button.text(), blGlyphLeft, -1, 4, false, QSize(18, 18), button.fontMetrics());
    EXPECT_EQ(button.LastLayout().GlyphPos, expected.GlyphPos);
    EXPECT_EQ(button.LastLayout().TextBounds, expected.TextBounds);
    const QPoint green = PixelInCell(bkOK, 0, kGreen);
    EXPECT_EQ(face.pixel(expected.GlyphPos + green), kGreen);
    EXPECT_EQ(face.pixel(expected.GlyphPos + QPoint(0, 17)) & 0xFFFFFF,
              face.pixel(expected.GlyphPos - QPoint(1, -17)) & 0xFFFFFF);  // transparent corner

    button.setDown(true);
    button.grab();
    EXPECT_EQ(button.LastLayout().GlyphPos, expected.GlyphPos + QPoint(1, 1));
}

TEST_P(ButtonPaintTest, DisabledButtonShowsItsDisabledCell)
{
    TBitBtnXP button;
    button.SetKind(bkCancel);
    button.SetLayout(blGlyphTop);
    button.setEnabled(false);
    button.resize(kButtonSize.width(), 60);
    const QImage face = button.grab().toImage();
    const QPoint grey = PixelInCell(bkCancel, 1, kGrey);
    EXPECT_EQ(face.pixel(button.LastLayout().GlyphPos + grey), button.palette().color(QPalette::Dark).rgb());
}

TEST_P(ButtonPaintTest, CustomGlyphAndNoCaption)
{
    TBitBtnXP button;
    QImage glyph(10, 10, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixel(5, 5, qRgb(0, 0, 0xFF));
    button.SetGlyph(glyph);
    button.resize(kButtonSize);
    const QImage face = button.grab().toImage();
    const QPoint pos = button.LastLayout().GlyphPos;
    EXPECT_EQ(pos.x(), button.width() / 2 - 5);
    EXPECT_EQ(face.pixel(pos + QPoint(5, 5)), qRgb(0, 0, 0xFF));
    EXPECT_NE(face.pixel(pos), qRgb(0xFF, 0xFF, 0xFF));  // white was the transparent colour
}

INSTANTIATE_TEST_SUITE_P(ThemedAndClassic, ButtonPaintTest, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Themed" : "Classic"; });

TEST(ButtonFace, ClassicFaceHasTheDefaultFrameAndRaisedEdge)
{
    const TThemeSwitch classic(false);
    TBitBtnXP button;
    button.SetKind(bkOK);
    button.resize(kButtonSize);
    const QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixel(0, 0), button.palette().color(QPalette::Shadow).rgb());
    EXPECT_EQ(face.pixel(1, 1), button.palette().color(QPalette::Light).rgb());
}

TEST(ButtonFace, ButtonMadeWhileClassicTakesTheThemeLater)
{
    std::unique_ptr<TBitBtnXP> button;
    {
        const TThemeSwitch classic(false);
        button = std::make_unique<TBitBtnXP>();
        button->SetKind(bkIgnore);
        button->resize(kButtonSize);
    }
    const QImage themed = button->grab().toImage();
    const TThemeSwitch classic(false);
    const QImage plain = button->grab().toImage();
    EXPECT_NE(themed, plain);
}

TEST(ThemeLoader, CountsItsUsers)
{
    const int before = ThemeApiUsers();
    EXPECT_TRUE(LoadThemeApi());
    EXPECT_TRUE(LoadThemeApi());
    EXPECT_EQ(ThemeApiUsers(), before + 2);
    ReleaseThemeApi();
    ReleaseThemeApi();
    EXPECT_EQ(ThemeApiUsers(), before);
    const TThemeSwitch off(false);
    EXPECT_FALSE(ThemesActive());
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("BUTTON")), nullptr);
}
