#pragma once

#include "controls/buttons/ButtonLayout.h"
#include "controls/buttons/ButtonTypes.h"

#include <QImage>

#include <array>
#include <functional>

class QPainter;
class QPalette;
class TGlyphList;

// The glyph painter of one button: keeps the glyph bitmap (all cells side by
// side), builds the picture of each state into a glyph list shared with the
// other buttons of the same cell size, and paints glyph and caption.
class TButtonGlyph
{
public:
    // Olive: the background colour of the kind glyphs.
    static constexpr QRgb kDefaultMaskColor = 0xFF808000u;

    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    const QImage& SourceBitmap() const { return sourceBitmap_; }
    // Copies the bitmap in. A bitmap of square cells sets NumGlyphs to its
    // cell count (1 when that is above 4).
    void SetGlyph(const QImage& bitmap);

    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; other values are cut to that range.
    void SetNumGlyphs(int value);

    // The transparent colour: white for a monochrome bitmap, else the colour
    // of its lower-left pixel (a QImage carries no transparent colour of its own).
    QRgb MaskColor() const { return maskColor_; }
    QSize CellSize() const;

    TGlyphList* StateImages() const { return stateImages_; }
    int StateIndex(TGlyphState state) const { return stateIndex_[state]; }

    // The index of the state's picture in StateImages, built on first use;
    // -1 without a bitmap.
    int BuildStateImage(TGlyphState state, const QPalette& palette);
    // Gives the built pictures back to the shared list.
    void DropImages();

    // Lays out and paints glyph and caption; returns where they went.
    TGlyphLayout PaintContent(QPainter& painter, const QRect& client, const QPoint& offset, const QString& caption,
                              TButtonLayout layout, int margin, int spacing, TGlyphState state, bool rightToLeft,
                              const QPalette& palette);
    void PaintGlyph(QPainter& painter, const QPoint& pos, TGlyphState state, const QPalette& palette);
    void PaintCaption(QPainter& painter, const QString& caption, const QRect& bounds, TGlyphState state,
                      const QPalette& palette);

    // Raised when the picture changes; the button repaints.
    std::function<void()> OnImageChanged;

private:
    void BitmapChanged();
    QImage StateImage(TGlyphState state, const QPalette& palette) const;

    QImage sourceBitmap_;
    TGlyphList* stateImages_ = nullptr;
    std::array<int, kGlyphStateCount> stateIndex_{-1, -1, -1, -1};
    QRgb maskColor_ = kDefaultMaskColor;
    int numGlyphs_ = 1;
};
