#pragma once

#include "controls/buttons/ThemeApi.h"

#include <QImage>
#include <QPoint>

#include <optional>

// Switches theming for one scope and restores the previous state after it;
// holds the theme library loaded meanwhile.
class TThemeSwitch
{
public:
    explicit TThemeSwitch(bool active)
        : previous_(IsThemeActive())
    {
        LoadThemeApi();
        SetThemeActive(active);
    }
    ~TThemeSwitch()
    {
        SetThemeActive(previous_);
        ReleaseThemeApi();
    }
    TThemeSwitch(const TThemeSwitch&) = delete;
    TThemeSwitch& operator=(const TThemeSwitch&) = delete;

private:
    bool previous_;
};

// The first pixel of a colour inside a rectangle of the image, row by row.
inline std::optional<QPoint> FindPixel(const QImage& image, const QRect& area, QRgb color)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (argb.pixel(x, y) == color)
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}
