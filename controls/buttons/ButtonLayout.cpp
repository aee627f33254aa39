#include "controls/buttons/ButtonLayout.h"

#include <QFontMetrics>

namespace {

bool IsHorizontal(TButtonLayout layout)
{
    return layout == blGlyphLeft || layout == blGlyphRight;
}

// One axis of the layout: sizes along it and the resulting positions.
struct TAxis
{
    int client;
    int glyph;
    int text;
};

// Glyph and text positions along the main axis.
QPoint PlaceOnMainAxis(const TAxis& axis, TButtonLayout layout, int margin, int spacing)
{
    if (margin == -1 && spacing == -1) {
        const int total = axis.glyph + axis.text;
        margin = (axis.client - total) / 3;
        spacing = margin;
    } else if (margin == -1) {
        const int total = axis.glyph + spacing + axis.text;
        margin = (axis.client - total + 1) / 2;
    } else if (spacing == -1) {
        const int rest = axis.client - (margin + axis.glyph);
        spacing = (rest - axis.text) / 2;
    }
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        const int glyph = margin;
        return QPoint(glyph, glyph + axis.glyph + spacing);
    }
    const int glyph = axis.client - margin - axis.glyph;
    return QPoint(glyph, glyph - spacing - axis.text);
}

}  // namespace

TGlyphLayout ComputeLayout(const QRect& client, const QPoint& offset, const QString& caption, TButtonLayout layout,
                           int margin, int spacing, bool rightToLeft, const QSize& glyphSize,
                           const QFontMetrics& metrics)
{
    if (rightToLeft && layout == blGlyphLeft)
        layout = blGlyphRight;
    else if (rightToLeft && layout == blGlyphRight)
        layout = blGlyphLeft;

    const QSize clientSize = client.size();
    QSize textSize(0, 0);
    if (!caption.isEmpty())
        textSize = metrics.boundingRect(QRect(0, 0, clientSize.width(), 0), kCaptionTextFlags, caption).size();

    const bool horizontal = IsHorizontal(layout);
    const auto along = [horizontal](const QSize& size) { return horizontal ? size.width() : size.height(); };
    const auto across = [horizontal](const QSize& size) { return horizontal ? size.height() : size.width(); };

    const int glyphCross = (across(clientSize) - across(glyphSize) + 1) / 2;
    const int textCross = (across(clientSize) - across(textSize) + 1) / 2;
    if (textSize.width() == 0 || glyphSize.width() == 0)
        spacing = 0;
    const QPoint main =
        PlaceOnMainAxis({along(clientSize), along(glyphSize), along(textSize)}, layout, margin, spacing);

    QPoint glyphPos = horizontal ? QPoint(main.x(), glyphCross) : QPoint(glyphCross, main.x());
    QPoint textPos = horizontal ? QPoint(main.y(), textCross) : QPoint(textCross, main.y());
    const QPoint origin = client.topLeft() + offset;
    glyphPos += origin;
    textPos += origin;
    return TGlyphLayout{glyphPos, QRect(textPos, textSize)};
}
