#include "framework/listview/TListViewDelegate.h"

#include "framework/listview/TListView.h"

#include <QIcon>
#include <QMetaProperty>

TListViewDelegate::TListViewDelegate(TListView& view)
    : QStyledItemDelegate(&view)
    , view_(view)
{
}

void TListViewDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const TListItem* item = view_.Item(index.row());
    if (!item)
        return;
    if (index.column() == 0 && view_.ShowsPictures()) {
        // An entry not completed yet keeps its picture's room, so that its
        // text stays where it is when the picture comes.
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = view_.iconSize();
        const QPixmap picture = view_.ItemPicture(*item);
        option->icon = picture.isNull() ? QIcon() : QIcon(picture);
    }
    QColor text = view_.DoItemTextColor(*item);
    if (!text.isValid() && item->Cut())
        text = option->palette.color(QPalette::Disabled, QPalette::Text);
    if (text.isValid())
        option->palette.setBrush(QPalette::Text, text);
    if (item->DropHighlighted())
        option->backgroundBrush = option->palette.highlight();
}

void TListViewDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    TListItem* item = view_.Item(index.row());
    if (!item || index.column() != 0)
        return;
    view_.CommitCaption(*item, editor->property(editor->metaObject()->userProperty().name()).toString());
}
