#include "framework/treeview/TTreeNodeDelegate.h"

#include "framework/TImageList.h"
#include "framework/treeview/TTreeView.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

namespace {

// Cut nodes show their icon at half strength, as file managers dim cut items.
constexpr qreal kCutOpacity = 0.5;

QPixmap Dimmed(const QPixmap& picture)
{
    QPixmap dimmed(picture.size());
    dimmed.setDevicePixelRatio(picture.devicePixelRatio());
    dimmed.fill(Qt::transparent);
    QPainter painter(&dimmed);
    painter.setOpacity(kCutOpacity);
    painter.drawPixmap(0, 0, picture);
    return dimmed;
}

}  // namespace

TTreeNodeDelegate::TTreeNodeDelegate(TTreeView& view)
    : QStyledItemDelegate(&view)
    , view_(view)
{
}

QStyleOptionViewItem TTreeNodeDelegate::NodeOption(const QStyleOptionViewItem& option, const QModelIndex& index,
                                                   int& stateWidth) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const TTreeNode* node = TTreeNodeModel::NodeOf(index);
    stateWidth = 0;
    if (view_.StateImages() && node->StateIndex() >= 0)
        stateWidth = view_.StateImages()->Width();
    opt.rect.setLeft(opt.rect.left() + stateWidth);
    if (const TImageList* images = view_.Images()) {
        const bool selected = opt.state.testFlag(QStyle::State_Selected);
        const int imageIndex = selected && node->SelectedIndex() >= 0 ? node->SelectedIndex() : node->ImageIndex();
        QPixmap picture = imageIndex >= 0 ? images->Pixmap(imageIndex) : QPixmap();
        if (picture.isNull()) {
            // Keep the icon's room so texts line up before the images are known.
            picture = QPixmap(images->ImageSize());
            picture.fill(Qt::transparent);
        }
        opt.icon = QIcon(node->Cut() ? Dimmed(picture) : picture);
        opt.features |= QStyleOptionViewItem::HasDecoration;
        opt.decorationSize = images->ImageSize();
    }
    if (node->DropTarget())
        opt.state |= QStyle::State_Selected;
    else if (view_.HideSelection() && !view_.hasFocus() && !view_.IsEditing())
        opt.state &= ~QStyle::State_Selected;
    return opt;
}

TTreeNodeDelegate::TLayout TTreeNodeDelegate::Layout(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    int stateWidth = 0;
    const QStyleOptionViewItem opt = NodeOption(option, index, stateWidth);
    const QWidget* widget = &view_;
    QStyle* style = widget->style();
    TLayout layout;
    layout.State = QRect(option.rect.left(), option.rect.top(), stateWidth, option.rect.height());
    if (opt.features.testFlag(QStyleOptionViewItem::HasDecoration))
        layout.Icon = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, widget);
    const QRect textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const int textWidth = opt.fontMetrics.horizontalAdvance(opt.text) + 2 * margin;
    layout.Text = QRect(textArea.left(), textArea.top(), std::min(textArea.width(), textWidth), textArea.height());
    return layout;
}

void TTreeNodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    TTreeNode* node = TTreeNodeModel::NodeOf(index);
    if (!node)
        return;
    if (node->ImageIndex() < 0)
        view_.NodePainted(*node);
    int stateWidth = 0;
    const QStyleOptionViewItem opt = NodeOption(option, index, stateWidth);
    const QWidget* widget = &view_;
    QStyle* style = widget->style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (stateWidth > 0) {
        const QPixmap state = view_.StateImages()->Pixmap(node->StateIndex());
        const int top = option.rect.top() + (option.rect.height() - view_.StateImages()->Height()) / 2;
        painter->drawPixmap(option.rect.left(), top, state);
    }
    if (node->OverlayIndex() >= 0 && opt.features.testFlag(QStyleOptionViewItem::HasDecoration)) {
        const QPixmap overlay = view_.OverlayPixmap(node->OverlayIndex());
        if (!overlay.isNull())
            painter->drawPixmap(style->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, widget), overlay);
    }
}

QSize TTreeNodeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    int stateWidth = 0;
    const QStyleOptionViewItem opt = NodeOption(option, index, stateWidth);
    const QWidget* widget = &view_;
    QSize size = widget->style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget);
    size.rwidth() += stateWidth;
    if (view_.StateImages() && stateWidth > 0)
        size.setHeight(std::max(size.height(), view_.StateImages()->Height()));
    return size;
}

void TTreeNodeDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    QRect text = Layout(option, index).Text;
    // Room to type beyond the current text, up to the row's end.
    text.setRight(std::max(text.right() + text.height() * 4, option.rect.right()));
    editor->setGeometry(text);
}

QWidget* TTreeNodeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    editor_ = QStyledItemDelegate::createEditor(parent, option, index);
    return editor_;
}
