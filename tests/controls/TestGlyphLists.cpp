#include "controls/buttons/DisabledGlyph.h"
#include "controls/buttons/KindGlyphs.h"
#include "controls/buttons/SharedGlyphCache.h"
#include "controls/buttons/TBitBtnXP.h"
#include "controls/buttons/TGlyphCache.h"
#include "controls/buttons/TGlyphList.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Filled(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

const QRgb kOlive = qRgb(0x80, 0x80, 0x00);
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
const QRgb kGrey = qRgb(0x80, 0x80, 0x80);

}  // namespace

TEST(GlyphList, FreedSlotsAreReusedLowestFirst)
{
    TGlyphList list(4, 4);
    const int a = list.AddWithMask(Filled(4, 4, kWhite), std::nullopt);
    const int b = list.AddWithMask(Filled(4, 4, kWhite), std::nullopt);
    const int c = list.AddWithMask(Filled(4, 4, kWhite), std::nullopt);
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{0, 1, 2}));
    list.FreeSlot(b);
    list.FreeSlot(a);
    list.FreeSlot(a);  // a second free changes nothing
    EXPECT_EQ(list.UsedCount(), 1);
    EXPECT_EQ(list.Count(), 3);  // images stay for reuse
    EXPECT_EQ(list.AddWithMask(Filled(4, 4, kWhite), std::nullopt), 0);
    EXPECT_EQ(list.AddWithMask(Filled(4, 4, kWhite), std::nullopt), 1);
    EXPECT_EQ(list.AddWithMask(Filled(4, 4, kWhite), std::nullopt), 3);
    EXPECT_EQ(list.UsedCount(), 4);
}

TEST(GlyphList, MaskColourBecomesTransparent)
{
    TGlyphList list(3, 3);
    QImage picture = Filled(3, 3, kOlive);
    picture.setPixel(1, 1, kWhite);
    picture.setPixel(2, 0, kGrey);
    const QImage keyed = list.Pixmap(list.AddWithMask(picture, kGrey)).toImage();
    EXPECT_EQ(qAlpha(keyed.pixel(2, 0)), 0);
    EXPECT_EQ(keyed.pixel(1, 1), kWhite);
    // Without a mask colour the lower-left pixel decides.
    const QImage picked = list.Pixmap(list.AddWithMask(picture, std::nullopt)).toImage();
    EXPECT_EQ(qAlpha(picked.pixel(0, 2)), 0);
    EXPECT_EQ(picked.pixel(1, 1), kWhite);
    EXPECT_EQ(picked.pixel(2, 0), kGrey);
}

TEST(GlyphCache, OneListPerSizeFreedWhenUnused)
{
    TGlyphCache cache;
    TGlyphList* first = cache.AcquireList(18, 18);
    EXPECT_EQ(cache.AcquireList(18, 18), first);
    EXPECT_NE(cache.AcquireList(18, 19), first);
    EXPECT_EQ(cache.ListCount(), 2);
    const int slot = first->AddWithMask(Filled(18, 18, kWhite), std::nullopt);
    cache.ReleaseList(first);
    EXPECT_EQ(cache.ListCount(), 2);
    first->FreeSlot(slot);
    cache.ReleaseList(first);
    EXPECT_EQ(cache.ListCount(), 1);
}

TEST(GlyphCache, ButtonsOfOneCellSizeShareAListFreedWithTheLast)
{
    auto first = std::make_unique<TBitBtnXP>();
    auto second = std::make_unique<TBitBtnXP>();
    auto all = std::make_unique<TBitBtnXP>();
    first->SetKind(bkOK);
    second->SetKind(bkCancel);
    all->SetKind(bkAll);
    for (auto* button : {first.get(), second.get(), all.get()}) {
        button->resize(120, 30);
        button->grab();
    }
    TGlyphList* shared = first->GlyphPainter().StateImages();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(second->GlyphPainter().StateImages(), shared);
    EXPECT_NE(all->GlyphPainter().StateImages(), shared);  // 18 x 19 cells
    EXPECT_EQ(SharedGlyphCache().ListCount(), 2);
    EXPECT_EQ(shared->UsedCount(), 2);

    first.reset();
    EXPECT_EQ(shared->UsedCount(), 1);
    EXPECT_EQ(SharedGlyphCache().ListCount(), 2);
    second.reset();
    EXPECT_EQ(SharedGlyphCache().ListCount(), 1);
    all.reset();
    EXPECT_FALSE(SharedGlyphCacheExists());
}

TEST(GlyphCache, ChangingTheCellCountGivesTheImagesBack)
{
    TBitBtnXP button;
    button.SetKind(bkYes);
    button.resize(120, 30);
    button.grab();
    TGlyphList* list = button.GlyphPainter().StateImages();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(button.GlyphPainter().StateIndex(gsUp), -1);
    button.SetNumGlyphs(1);
    EXPECT_EQ(button.GlyphPainter().StateIndex(gsUp), -1);
    EXPECT_EQ(button.GlyphPainter().StateImages(), nullptr);
}

TEST(DisabledGlyph, KindGlyphUsesItsDisabledCellInFaceColours)
{
    TBitBtnXP ok;
    ok.SetKind(bkOK);
    ok.setEnabled(false);
    const TFaceColors colors = FaceColors(ok.palette());
    const QImage& source = KindGlyph(bkOK);
    ok.resize(120, 30);
    ok.grab();
    const TButtonGlyph& painter = ok.GlyphPainter();
    ASSERT_NE(painter.StateIndex(gsDisabled), -1);
    const QImage disabled = painter.StateImages()->Pixmap(painter.StateIndex(gsDisabled)).toImage();
    int whites = 0;
    int greys = 0;
    for (int y = 0; y < 18; ++y) {
        for (int x = 0; x < 18; ++x) {
            const QRgb cell = source.pixel(18 + x, y);
            const QRgb shown = disabled.pixel(x, y);
            if (cell == kWhite) {
                ++whites;
                EXPECT_EQ(shown, colors.Highlight);
            } else if (cell == kGrey) {
                ++greys;
                EXPECT_EQ(shown, colors.Shadow);
            } else if (cell == kOlive) {
                EXPECT_EQ(qAlpha(shown), 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(whites, 0);
    EXPECT_GT(greys, 0);
}

TEST(DisabledGlyph, OneCellGlyphIsEmbossedFromItsDarkPixels)
{
    const TFaceColors colors{qRgb(0xD0, 0xD0, 0xD0), qRgb(0xFF, 0xFF, 0xFF), qRgb(0x60, 0x60, 0x60)};
    QImage cell = Filled(6, 6, kOlive);
    cell.setPixel(2, 2, qRgb(0, 0, 0));
    cell.setPixel(3, 2, qRgb(0, 0, 0x80));        // dark blue: drawn too
    cell.setPixel(4, 4, qRgb(0xFF, 0xFF, 0x00));  // light yellow: vanishes
    const QImage embossed = EmbossedImage(cell, kOlive, colors);
    EXPECT_EQ(embossed.pixel(2, 2), colors.Shadow);
    EXPECT_EQ(embossed.pixel(3, 2), colors.Shadow);
    EXPECT_EQ(embossed.pixel(3, 3), colors.Highlight);
    EXPECT_EQ(embossed.pixel(4, 3), colors.Highlight);
    EXPECT_EQ(embossed.pixel(4, 4), colors.Face);
    EXPECT_EQ(embossed.pixel(0, 5), colors.Face);

    // A dark transparent colour stays background.
    QImage dark = Filled(4, 4, qRgb(0, 0, 0));
    dark.setPixel(1, 1, qRgb(0x80, 0, 0));
    const QImage onDark = EmbossedImage(dark, qRgb(0, 0, 0), colors);
    EXPECT_EQ(onDark.pixel(0, 0), colors.Face);
    EXPECT_EQ(onDark.pixel(1, 1), colors.Shadow);
    EXPECT_EQ(onDark.pixel(2, 2), colors.Highlight);
}
