#include "controls/buttons/DisabledGlyph.h"

#include <QPalette>

#include <vector>

namespace {

// Below this grey value a pixel counts as part of the picture's drawing.
constexpr int kInkGreyLimit = 128;
// Pixels at least this opaque count as painted.
constexpr int kOpaqueAlpha = 128;

QRgb Opaque(const QColor& color)
{
    return color.rgb() | 0xFF000000u;
}

}  // namespace

TFaceColors FaceColors(const QPalette& palette)
{
    return TFaceColors{Opaque(palette.color(QPalette::Button)), Opaque(palette.color(QPalette::Light)),
                       Opaque(palette.color(QPalette::Dark))};
}

QImage EmbossedImage(const QImage& cell, QRgb transparentColor, const TFaceColors& colors)
{
    const QImage source = cell.convertToFormat(QImage::Format_ARGB32);
    const int width = source.width();
    const int height = source.height();
    std::vector<bool> ink(std::size_t(width) * std::size_t(height), false);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = source.pixel(x, y);
            ink[std::size_t(y) * width + x] =
                pixel != transparentColor && qAlpha(pixel) >= kOpaqueAlpha && qGray(pixel) < kInkGreyLimit;
        }
    }
    QImage result(width, height, QImage::Format_ARGB32);
    result.fill(colors.Face);
    for (int y = 0; y + 1 < height; ++y) {
        for (int x = 0; x + 1 < width; ++x) {
            if (ink[std::size_t(y) * width + x])
                result.setPixel(x + 1, y + 1, colors.Highlight);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (ink[std::size_t(y) * width + x])
                result.setPixel(x, y, colors.Shadow);
        }
    }
    return result;
}

QImage RecolouredImage(const QImage& cell, QRgb transparentColor, const TFaceColors& colors)
{
    const QImage source = cell.convertToFormat(QImage::Format_ARGB32);
    QImage result = source;
    const QRgb white = qRgb(0xFF, 0xFF, 0xFF);
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (pixel == white)
                result.setPixel(x, y, colors.Highlight);
            else if (pixel == grey)
                result.setPixel(x, y, colors.Shadow);
            else if (pixel == transparentColor)
                result.setPixel(x, y, colors.Face);
        }
    }
    return result;
}
