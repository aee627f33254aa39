#include "controls/buttons/ClassicFrame.h"

#include <QBrush>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <qdrawutil.h>

namespace {

// The classic frame is two pixels deep on each side.
constexpr int kFrameWidth = 2;

}  // namespace

void DrawFrameControl(QPainter& painter, QRect& rect, int type, int state, const QPalette& palette)
{
    if (type != DFC_BUTTON || (state & DFCS_BUTTONPUSH) == 0)
        return;
    const QBrush face = palette.brush(QPalette::Button);
    qDrawWinButton(&painter, rect, palette, (state & DFCS_PUSHED) != 0, &face);
    if ((state & DFCS_ADJUSTRECT) != 0)
        rect.adjust(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}
