#pragma once

#include "controls/buttons/ButtonTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QFontMetrics;

// Where a button puts its glyph and its caption.
struct TGlyphLayout
{
    QPoint GlyphPos;
    QRect TextBounds;
};

// The text flags a caption is measured and drawn with ("&" marks a mnemonic).
constexpr int kCaptionTextFlags = Qt::TextShowMnemonic;

// Places glyph and caption in `client`, moved by `offset`. Margin -1 centres
// the group; spacing -1 spreads the free room evenly (before, between, after).
// Right-to-left swaps blGlyphLeft and blGlyphRight. All halvings and thirds
// truncate toward zero.
TGlyphLayout ComputeLayout(const QRect& client, const QPoint& offset, const QString& caption, TButtonLayout layout,
                           int margin, int spacing, bool rightToLeft, const QSize& glyphSize,
                           const QFontMetrics& metrics);
