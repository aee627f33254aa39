#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class TTreeView;

// Draws a tree node: state image, icon (selected image when selected, dimmed
// when cut), overlay, and the text; asks the view for a node's image the
// first time the node is painted.
class TTreeNodeDelegate : public QStyledItemDelegate
{
public:
    explicit TTreeNodeDelegate(TTreeView& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The parts of a node's row (`option.rect`): state image, icon and text.
    struct TLayout
    {
        QRect State;
        QRect Icon;
        QRect Text;
    };
    TLayout Layout(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    QWidget* Editor() const { return editor_; }

protected:
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The option with the node's icon and state filled in; `stateWidth` is the
    // width taken by its state image.
    QStyleOptionViewItem NodeOption(const QStyleOptionViewItem& option, const QModelIndex& index,
                                    int& stateWidth) const;

    TTreeView& view_;
    mutable QPointer<QWidget> editor_;
};
