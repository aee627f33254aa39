#include "bench/support/TFrameWatch.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

TFrameWatch::TFrameWatch(QWidget* painted)
{
    painted->installEventFilter(this);
}

void TFrameWatch::Start()
{
    clock_.start();
    last_ = 0;
    longest_ = 0;
    frames_ = 0;
}

double TFrameWatch::LongestGapMs() const
{
    const qint64 sinceLast = clock_.isValid() ? clock_.nsecsElapsed() - last_ : 0;
    return double(std::max(longest_, sinceLast)) / 1e6;
}

bool TFrameWatch::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && clock_.isValid()) {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
        ++frames_;
    }
    return false;
}
