#pragma once

#include <QHeaderView>
#include <QPixmap>
#include <QVector>

// The header of a list view: draws a picture at the right of the sorted
// column, like the sort arrow of a file manager's details view.
class TListViewHeader final : public QHeaderView
{
public:
    explicit TListViewHeader(QWidget* parent);

    // 0 none, 1 up, 2 down.
    void SetArrow(int section, int arrow);
    int Arrow(int section) const;
    void ClearArrows();
    void SetPictures(const QPixmap& up, const QPixmap& down);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QVector<int> arrows_;
    QPixmap up_;
    QPixmap down_;
};
