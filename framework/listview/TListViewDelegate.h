#pragma once

#include <QStyledItemDelegate>

class TListView;

// Draws a list entry as its view shows it: the view's composite picture in the
// first column, the entry's text colour (dimmed when cut) and the drop
// target's highlight; an edited caption is committed through the view.
class TListViewDelegate final : public QStyledItemDelegate
{
public:
    explicit TListViewDelegate(TListView& view);

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TListView& view_;
};
