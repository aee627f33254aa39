#pragma once

#include <QColor>
#include <QString>

#include <memory>
#include <vector>

class TTreeNodeModel;

// What an owner hangs on a tree node; owners derive their own data from it.
class TTreeNodeData
{
public:
    virtual ~TTreeNodeData() = default;
};

// One node of a tree view control. Nodes are made and deleted only through
// their TTreeNodeModel, which owns them; setters tell the model so the views
// repaint. Image indexes are -1 while unknown: the view asks its owner for
// them when it first paints the node.
class TTreeNode
{
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;
    ~TTreeNode();

    // Null for the roots.
    TTreeNode* Parent() const;
    // The position among the siblings.
    int Index() const { return index_; }
    // 0 for the roots.
    int Level() const;
    // Every child made, also those a running update bracket has not yet shown.
    int Count() const { return int(children_.size()); }
    TTreeNode* Item(int index) const { return children_[std::size_t(index)].get(); }
    TTreeNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    TTreeNode* NextSibling() const;
    TTreeNode* PrevSibling() const;
    // Whether `ancestor` is this node or lies above it.
    bool HasAsParent(const TTreeNode* ancestor) const;
    TTreeNodeModel& Owner() const { return *model_; }

    const QString& Text() const { return text_; }
    void SetText(const QString& text);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);
    int OverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int index);
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int index);
    // Whether the expand button shows; independent of the children made so far.
    bool HasChildren() const { return hasChildren_; }
    void SetHasChildren(bool value);
    // Drawn dimmed (a cut or hidden object).
    bool Cut() const { return cut_; }
    void SetCut(bool value);
    bool DropTarget() const { return dropTarget_; }
    void SetDropTarget(bool value);
    // The text colour; invalid for the palette's.
    QColor TextColor() const { return textColor_; }
    void SetTextColor(const QColor& color);

    TTreeNodeData* Data() const { return data_.get(); }
    void SetData(std::unique_ptr<TTreeNodeData> data) { data_ = std::move(data); }

private:
    friend class TTreeNodeModel;
    TTreeNode(TTreeNodeModel* model, TTreeNode* parent, const QString& text);
    void Changed(bool hasChildrenChanged = false);

    TTreeNodeModel* model_;
    TTreeNode* parent_;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    // Children [0, shown_) are known to the model's views; the rest wait for
    // the end of the update bracket.
    int shown_ = 0;
    int index_ = 0;
    QString text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    int overlayIndex_ = -1;
    int stateIndex_ = -1;
    bool hasChildren_ = false;
    bool cut_ = false;
    bool dropTarget_ = false;
    bool pendingListed_ = false;
    bool sortPending_ = false;
    QColor textColor_;
    std::unique_ptr<TTreeNodeData> data_;
};
