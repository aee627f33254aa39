#include "framework/treeview/TTreeNode.h"

#include "framework/treeview/TTreeNodeModel.h"

TTreeNode::TTreeNode(TTreeNodeModel* model, TTreeNode* parent, const QString& text)
    : model_(model)
    , parent_(parent)
    , text_(text)
{
}

TTreeNode::~TTreeNode() = default;

TTreeNode* TTreeNode::Parent() const
{
    return parent_ && parent_->parent_ ? parent_ : nullptr;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* node = Parent(); node; node = node->Parent())
        ++level;
    return level;
}

TTreeNode* TTreeNode::NextSibling() const
{
    if (!parent_ || index_ + 1 >= parent_->Count())
        return nullptr;
    return parent_->Item(index_ + 1);
}

TTreeNode* TTreeNode::PrevSibling() const
{
    if (!parent_ || index_ == 0)
        return nullptr;
    return parent_->Item(index_ - 1);
}

bool TTreeNode::HasAsParent(const TTreeNode* ancestor) const
{
    for (const TTreeNode* node = this; node; node = node->Parent())
        if (node == ancestor)
            return true;
    return false;
}

void TTreeNode::Changed(bool hasChildrenChanged)
{
    model_->NodeChanged(this, hasChildrenChanged);
}

void TTreeNode::SetText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    Changed();
}

void TTreeNode::SetImageIndex(int index)
{
    if (imageIndex_ == index)
        return;
    imageIndex_ = index;
    Changed();
}

void TTreeNode::SetSelectedIndex(int index)
{
    if (selectedIndex_ == index)
        return;
    selectedIndex_ = index;
    Changed();
}

void TTreeNode::SetOverlayIndex(int index)
{
    if (overlayIndex_ == index)
        return;
    overlayIndex_ = index;
    Changed();
}

void TTreeNode::SetStateIndex(int index)
{
    if (stateIndex_ == index)
        return;
    stateIndex_ = index;
    Changed();
}

void TTreeNode::SetHasChildren(bool value)
{
    if (hasChildren_ == value)
        return;
    hasChildren_ = value;
    Changed(true);
}

void TTreeNode::SetCut(bool value)
{
    if (cut_ == value)
        return;
    cut_ = value;
    Changed();
}

void TTreeNode::SetDropTarget(bool value)
{
    if (dropTarget_ == value)
        return;
    dropTarget_ = value;
    Changed();
}

void TTreeNode::SetTextColor(const QColor& color)
{
    if (textColor_ == color)
        return;
    textColor_ = color;
    Changed();
}
