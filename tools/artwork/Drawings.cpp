#include "tools/artwork/Drawings.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// The transparent colour of button glyphs (olive), read from the lower-left pixel.
const QColor kGlyphMaskColour(128, 128, 0);
const QColor kOutline(60, 62, 72);

QImage TransparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// One blade running from its handle end up to its tip, in 24-unit coordinates;
// the other blade is its mirror image.
QPainterPath BladePath()
{
    QPainterPath blade;
    blade.moveTo(18.6, 1.2);
    blade.lineTo(13.7, 12.7);
    blade.lineTo(10.1, 16.4);
    blade.lineTo(8.7, 15.3);
    blade.lineTo(11.0, 11.0);
    blade.closeSubpath();
    return blade;
}

// A pair of open scissors filling a 24 x 24 square of the painter's coordinates.
void DrawScissors(QPainter& painter)
{
    painter.save();
    QLinearGradient steel(QPointF(6, 0), QPointF(18, 16));
    steel.setColorAt(0, QColor(236, 238, 242));
    steel.setColorAt(1, QColor(150, 156, 168));
    painter.setBrush(steel);
    painter.setPen(QPen(kOutline, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPainterPath blade = BladePath();
    painter.drawPath(blade);
    painter.drawPath(QTransform(-1, 0, 0, 1, 24, 0).map(blade));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 12, 16), 2.6));
    painter.drawEllipse(QPointF(6.8, 19.2), 3.4, 3.4);
    painter.drawEllipse(QPointF(17.2, 19.2), 3.4, 3.4);
    painter.setPen(QPen(QColor(214, 40, 40), 1.6));
    painter.drawEllipse(QPointF(6.8, 19.2), 3.4, 3.4);
    painter.drawEllipse(QPointF(17.2, 19.2), 3.4, 3.4);

    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutline);
    painter.drawEllipse(QPointF(12.0, 12.1), 1.1, 1.1);
    painter.restore();
}

// An open glue stick standing upright in a 24 x 24 square.
void DrawGlueStick(QPainter& painter)
{
    painter.save();
    painter.setPen(QPen(kOutline, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    QPainterPath glue;
    glue.moveTo(8.8, 9.0);
    glue.lineTo(8.8, 4.6);
    glue.cubicTo(8.8, 1.6, 15.2, 1.6, 15.2, 4.6);
    glue.lineTo(15.2, 9.0);
    glue.closeSubpath();
    QLinearGradient cream(QPointF(8.8, 0), QPointF(15.2, 0));
    cream.setColorAt(0, QColor(255, 253, 240));
    cream.setColorAt(1, QColor(222, 214, 186));
    painter.setBrush(cream);
    painter.drawPath(glue);

    QLinearGradient collar(QPointF(7.6, 0), QPointF(16.4, 0));
    collar.setColorAt(0, QColor(170, 172, 180));
    collar.setColorAt(1, QColor(96, 98, 108));
    painter.setBrush(collar);
    painter.drawRect(QRectF(7.6, 8.6, 8.8, 2.4));

    QLinearGradient body(QPointF(6.8, 0), QPointF(17.2, 0));
    body.setColorAt(0, QColor(70, 140, 235));
    body.setColorAt(1, QColor(22, 64, 160));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(6.8, 11.0, 10.4, 12.0), 1.6, 1.6);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 206, 36));
    painter.drawRect(QRectF(7.2, 14.6, 9.6, 3.8));
    painter.setBrush(QColor(214, 40, 40));
    painter.drawEllipse(QPointF(12.0, 16.5), 1.3, 1.3);
    painter.restore();
}

// A globe in an 18 x 18 cell, in the given colours.
void DrawGlobe(QPainter& painter, const QColor& sea, const QColor& lines, const QColor& rim)
{
    painter.save();
    painter.setPen(QPen(rim, 1.0));
    painter.setBrush(sea);
    painter.drawEllipse(QPointF(9, 9), 7.4, 7.4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(lines, 1.0));
    painter.drawEllipse(QPointF(9, 9), 3.2, 7.0);
    painter.drawLine(QPointF(9, 1.8), QPointF(9, 16.2));
    painter.drawLine(QPointF(1.8, 9), QPointF(16.2, 9));
    painter.drawLine(QPointF(3.2, 5.4), QPointF(14.8, 5.4));
    painter.drawLine(QPointF(3.2, 12.6), QPointF(14.8, 12.6));
    painter.restore();
}

void DrawBackground(QPainter& painter, const QRectF& area)
{
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(18, 42, 92));
    sky.setColorAt(1, QColor(58, 122, 190));
    painter.fillRect(area, sky);
    QRadialGradient glow(QPointF(area.width() * 0.62, area.height() * 0.30), area.width() * 0.55);
    glow.setColorAt(0, QColor(255, 236, 200, 110));
    glow.setColorAt(1, QColor(255, 236, 200, 0));
    painter.fillRect(area, glow);
}

// A page of text cut into three strips, each labelled with its piece number.
void DrawCutPage(QPainter& painter, const QRectF& page)
{
    const int kStrips = 3;
    const qreal gap = 10;
    const qreal stripHeight = (page.height() - gap * (kStrips - 1)) / kStrips;
    QFont tagFont(QStringLiteral("DejaVu Sans"));
    tagFont.setPixelSize(13);
    tagFont.setBold(true);

    for (int strip = 0; strip < kStrips; ++strip) {
        const qreal shift = (strip - 1) * 7.0;
        const QRectF piece(page.left() + shift, page.top() + strip * (stripHeight + gap), page.width(), stripHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRect(piece.translated(4, 4));
        painter.setBrush(QColor(252, 251, 246));
        painter.setPen(QPen(QColor(120, 120, 130), 1));
        painter.drawRect(piece);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 160, 180));
        for (qreal y = piece.top() + 9; y < piece.bottom() - 6; y += 8) {
            const qreal length = (int(y) % 3 == 0) ? piece.width() * 0.55 : piece.width() - 24;
            painter.drawRect(QRectF(piece.left() + 12, y, length, 3));
        }
        painter.setFont(tagFont);
        painter.setPen(QColor(255, 214, 90));
        painter.drawText(QRectF(piece.right() + 8, piece.top(), 60, piece.height()), Qt::AlignVCenter | Qt::AlignLeft,
                         QStringLiteral(".%1").arg(strip + 1, 4, 10, QLatin1Char('0')));
        if (strip > 0) {
            const qreal cutY = piece.top() - gap / 2;
            painter.setPen(QPen(QColor(255, 255, 255, 200), 1.4, Qt::DashLine));
            painter.drawLine(QPointF(page.left() - 38, cutY), QPointF(page.right() + 18, cutY));
        }
    }
}

}  // namespace

QImage DrawScissorsImage()
{
    QImage image = TransparentImage(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawScissors(painter);
    return image;
}

QImage DrawGlueStickImage()
{
    QImage image = TransparentImage(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGlueStick(painter);
    return image;
}

QImage DrawWebGlyph()
{
    // No antialiasing: every pixel is either the mask colour or a real one, so
    // the transparent colour leaves no olive fringe.
    QImage image(36, 18, QImage::Format_RGB32);
    image.fill(kGlyphMaskColour);
    QPainter painter(&image);
    DrawGlobe(painter, QColor(40, 112, 214), QColor(220, 240, 255), QColor(20, 50, 110));
    painter.translate(18, 0);
    DrawGlobe(painter, QColor(192, 192, 192), Qt::white, QColor(128, 128, 128));
    return image;
}

QImage DrawAboutPicture()
{
    QImage image(306, 322, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawBackground(painter, image.rect());

    DrawCutPage(painter, QRectF(104, 34, 118, 168));

    painter.save();
    painter.translate(26, 128);
    painter.rotate(-90);
    painter.translate(-36, 0);
    painter.scale(3.0, 3.0);
    DrawScissors(painter);
    painter.restore();

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(42);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawText(QRectF(2, 224, 306, 52), Qt::AlignCenter, QStringLiteral("Parzello"));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 222, 306, 52), Qt::AlignCenter, QStringLiteral("Parzello"));

    QFont claim(QStringLiteral("DejaVu Sans"));
    claim.setPixelSize(13);
    painter.setFont(claim);
    painter.setPen(QColor(226, 236, 250));
    painter.drawText(QRectF(0, 274, 306, 20), Qt::AlignCenter, QStringLiteral("Dateien teilen und zusammenfügen"));
    claim.setPixelSize(11);
    claim.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    painter.setFont(claim);
    painter.setPen(QColor(255, 214, 90));
    painter.drawText(QRectF(0, 296, 306, 18), Qt::AlignCenter, QStringLiteral("MORVEK COMPUTERSOFTWARE"));
    return image;
}

namespace {

// The icon's rounded tile in the about picture's evening blue.
void DrawIconTile(QPainter& painter)
{
    const QRectF tile(16, 16, 224, 224);
    QLinearGradient sky(tile.topLeft(), tile.bottomLeft());
    sky.setColorAt(0, QColor(30, 64, 128));
    sky.setColorAt(1, QColor(58, 122, 190));
    painter.setPen(QPen(QColor(14, 32, 72), 4));
    painter.setBrush(sky);
    painter.drawRoundedRect(tile, 44, 44);
    QRadialGradient glow(QPointF(150, 80), 150);
    glow.setColorAt(0, QColor(255, 236, 200, 90));
    glow.setColorAt(1, QColor(255, 236, 200, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawRoundedRect(tile.adjusted(2, 2, -2, -2), 42, 42);
}

// A sheet of text cut in two, the lower piece pulled a little aside.
void DrawIconSheet(QPainter& painter)
{
    const QRectF upper(78, 40, 134, 76);
    const QRectF lower(90, 130, 134, 80);
    for (const QRectF& piece : {upper, lower}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRect(piece.translated(5, 5));
        painter.setBrush(QColor(252, 251, 246));
        painter.setPen(QPen(QColor(120, 120, 130), 2));
        painter.drawRect(piece);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 160, 180));
        int line = 0;
        for (qreal y = piece.top() + 14; y < piece.bottom() - 10; y += 16, ++line) {
            const qreal length = line % 3 == 2 ? piece.width() * 0.5 : piece.width() - 32;
            painter.drawRect(QRectF(piece.left() + 16, y, length, 6));
        }
    }
}

}  // namespace

void DrawApplicationIcon(QPainter& painter)
{
    DrawIconTile(painter);
    DrawIconSheet(painter);
    // The tab's scissors, seven times as large, lying in the cut with the
    // blades pointing right as if they had just come through it.
    painter.save();
    painter.translate(196.7, 39);
    painter.rotate(90);
    painter.scale(7.0, 7.0);
    DrawScissors(painter);
    painter.restore();
}

QImage DrawApplicationIconImage(int size)
{
    QImage image = TransparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(size / 256.0, size / 256.0);
    if (size >= 32) {
        DrawApplicationIcon(painter);
        return image;
    }
    DrawIconTile(painter);
    // Upright scissors filling the tile: 224 / 24 units.
    painter.translate(16, 16);
    painter.scale(224.0 / 24, 224.0 / 24);
    DrawScissors(painter);
    return image;
}
