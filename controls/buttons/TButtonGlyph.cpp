#include "controls/buttons/TButtonGlyph.h"

#include "controls/buttons/DisabledGlyph.h"
#include "controls/buttons/SharedGlyphCache.h"
#include "controls/buttons/TGlyphCache.h"
#include "controls/buttons/TGlyphList.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

// More cells than these four states have no use.
constexpr int kMaxGlyphs = 4;

QRgb TransparentColorOf(const QImage& bitmap)
{
    if (bitmap.format() == QImage::Format_Mono || bitmap.format() == QImage::Format_MonoLSB)
        return qRgb(0xFF, 0xFF, 0xFF);
    return bitmap.pixel(0, bitmap.height() - 1);
}

}  // namespace

TButtonGlyph::TButtonGlyph()
{
    SharedGlyphCache();
}

TButtonGlyph::~TButtonGlyph()
{
    DropImages();
    FreeSharedGlyphCacheIfEmpty();
}

void TButtonGlyph::SetGlyph(const QImage& bitmap)
{
    DropImages();
    sourceBitmap_ = bitmap;
    if (bitmap.height() > 0) {
        maskColor_ = TransparentColorOf(bitmap);
        if (bitmap.width() % bitmap.height() == 0) {
            const int cells = bitmap.width() / bitmap.height();
            numGlyphs_ = cells <= kMaxGlyphs && cells > 0 ? cells : 1;
        }
    }
    BitmapChanged();
}

void TButtonGlyph::SetNumGlyphs(int value)
{
    value = std::clamp(value, 1, kMaxGlyphs);
    if (value == numGlyphs_)
        return;
    DropImages();
    numGlyphs_ = value;
    BitmapChanged();
}

void TButtonGlyph::BitmapChanged()
{
    if (sourceBitmap_.height() > 0)
        maskColor_ = TransparentColorOf(sourceBitmap_);
    DropImages();
    if (OnImageChanged)
        OnImageChanged();
}

QSize TButtonGlyph::CellSize() const
{
    if (sourceBitmap_.isNull())
        return QSize(0, 0);
    return QSize(sourceBitmap_.width() / numGlyphs_, sourceBitmap_.height());
}

QImage TButtonGlyph::StateImage(TGlyphState state, const QPalette& palette) const
{
    const QSize cell = CellSize();
    const auto cellImage = [&](int index) {
        return sourceBitmap_.copy(index * cell.width(), 0, cell.width(), cell.height());
    };
    if (state == gsDisabled && numGlyphs_ == 1)
        return EmbossedImage(cellImage(0), maskColor_, FaceColors(palette));
    if (state == gsDisabled)
        return RecolouredImage(cellImage(1), maskColor_, FaceColors(palette));
    return cellImage(state < numGlyphs_ ? int(state) : 0);
}

int TButtonGlyph::BuildStateImage(TGlyphState state, const QPalette& palette)
{
    if (state == gsDown && numGlyphs_ < 3)
        state = gsUp;
    if (stateIndex_[state] != -1)
        return stateIndex_[state];
    const QSize cell = CellSize();
    if (cell.width() <= 0 || cell.height() <= 0)
        return -1;
    if (stateImages_ == nullptr)
        stateImages_ = SharedGlyphCache().AcquireList(cell.width(), cell.height());
    // Our pictures carry no fixed transparent colour: the list takes each
    // picture's own lower-left pixel.
    stateIndex_[state] = stateImages_->AddWithMask(StateImage(state, palette), std::nullopt);
    return stateIndex_[state];
}

void TButtonGlyph::DropImages()
{
    if (stateImages_ == nullptr)
        return;
    for (int& index : stateIndex_) {
        if (index != -1)
            stateImages_->FreeSlot(index);
        index = -1;
    }
    if (SharedGlyphCacheExists())
        SharedGlyphCache().ReleaseList(stateImages_);
    stateImages_ = nullptr;
}

TGlyphLayout TButtonGlyph::PaintContent(QPainter& painter, const QRect& client, const QPoint& offset,
                                        const QString& caption, TButtonLayout layout, int margin, int spacing,
                                        TGlyphState state, bool rightToLeft, const QPalette& palette)
{
    const TGlyphLayout placed =
        ComputeLayout(client, offset, caption, layout, margin, spacing, rightToLeft, CellSize(), painter.fontMetrics());
    PaintGlyph(painter, placed.GlyphPos, state, palette);
    PaintCaption(painter, caption, placed.TextBounds, state, palette);
    return placed;
}

void TButtonGlyph::PaintGlyph(QPainter& painter, const QPoint& pos, TGlyphState state, const QPalette& palette)
{
    const int index = BuildStateImage(state, palette);
    if (index != -1)
        stateImages_->Draw(painter, pos.x(), pos.y(), index);
}

void TButtonGlyph::PaintCaption(QPainter& painter, const QString& caption, const QRect& bounds, TGlyphState state,
                                const QPalette& palette)
{
    if (caption.isEmpty())
        return;
    constexpr int flags = Qt::AlignCenter | kCaptionTextFlags;
    painter.setBrush(Qt::NoBrush);
    if (state == gsDisabled) {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(bounds.translated(1, 1), flags, caption);
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawText(bounds, flags, caption);
        return;
    }
    painter.setPen(palette.color(QPalette::ButtonText));
    painter.drawText(bounds, flags, caption);
}
