#pragma once

#include <QElapsedTimer>
#include <QPoint>

class QAbstractScrollArea;

// Scrolls a view while something is dragged over it near an edge: one line
// towards each edge the point is near, each way only when its scroll bar can
// move, at most once per kIntervalMs. The file list and the folder tree scroll
// alike.
class TDragAutoScroll
{
public:
    // Edge zones of a cursor's width or so: wide enough to hit, narrow enough
    // not to scroll while the drag aims at the rows by the edge.
    static constexpr int kZoneX = 25;
    static constexpr int kZoneY = 20;
    // Ten lines a second: slow enough to stop at the row wanted.
    static constexpr qint64 kIntervalMs = 100;

    explicit TDragAutoScroll(QAbstractScrollArea& view);

    // A drag entered: the first line waits a whole interval, so that a drag
    // that comes in over an edge does not scroll at once.
    void Begin();
    // The drag is at `client` (viewport co-ordinates); whether the view scrolled.
    bool Step(const QPoint& client);

private:
    QAbstractScrollArea& view_;
    QElapsedTimer last_;
};
