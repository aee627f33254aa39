#include "framework/TDragAutoScroll.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

TDragAutoScroll::TDragAutoScroll(QAbstractScrollArea& view)
    : view_(view)
{
}

void TDragAutoScroll::Begin()
{
    last_.start();
}

bool TDragAutoScroll::Step(const QPoint& client)
{
    if (last_.isValid() && last_.elapsed() < kIntervalMs)
        return false;
    bool scrolled = false;
    const auto step = [&](QScrollBar* bar, bool forward) {
        if (bar->maximum() <= bar->minimum())
            return;
        const int before = bar->value();
        bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        scrolled = scrolled || bar->value() != before;
    };
    const QSize area = view_.viewport()->size();
    if (client.x() < kZoneX)
        step(view_.horizontalScrollBar(), false);
    else if (client.x() > area.width() - kZoneX)
        step(view_.horizontalScrollBar(), true);
    if (client.y() < kZoneY)
        step(view_.verticalScrollBar(), false);
    else if (client.y() > area.height() - kZoneY)
        step(view_.verticalScrollBar(), true);
    if (scrolled)
        last_.start();
    return scrolled;
}
