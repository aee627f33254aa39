#include "framework/listview/TListViewHeader.h"

#include <QPainter>

TListViewHeader::TListViewHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setHighlightSections(false);
}

void TListViewHeader::SetArrow(int section, int arrow)
{
    if (section < 0)
        return;
    if (arrows_.size() <= section)
        arrows_.resize(section + 1);
    arrows_[section] = arrow;
    viewport()->update();
}

int TListViewHeader::Arrow(int section) const
{
    return section >= 0 && section < arrows_.size() ? arrows_[section] : 0;
}

void TListViewHeader::ClearArrows()
{
    arrows_.clear();
    viewport()->update();
}

void TListViewHeader::SetPictures(const QPixmap& up, const QPixmap& down)
{
    up_ = up;
    down_ = down;
    viewport()->update();
}

void TListViewHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    const int arrow = Arrow(logicalIndex);
    const QPixmap& picture = arrow == 1 ? up_ : down_;
    if (arrow == 0 || picture.isNull())
        return;
    // A small gap keeps the picture off the section's divider.
    constexpr int kMargin = 6;
    const QPoint topLeft(rect.right() - kMargin - picture.width(), rect.center().y() - picture.height() / 2);
    if (topLeft.x() > rect.left())
        painter->drawPixmap(topLeft, picture);
}
