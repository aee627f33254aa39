#pragma once

#include "framework/treeview/TTreeNode.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <vector>

// The nodes of a tree view control as a one-column item model. A node knows
// its position among its siblings, so its model index is found in constant
// time. Inside an update bracket new children are only collected; the bracket's
// end shows each parent's new children with one insertion and then runs the
// sorts asked for meanwhile, so a folder of many thousand sub-folders fills
// with one signal.
class TTreeNodeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Negative, zero or positive as a sorts before, like or after b.
    using TCompare = std::function<int(const TTreeNode& a, const TTreeNode& b)>;

    explicit TTreeNodeModel(QObject* parent = nullptr);
    ~TTreeNodeModel() override;

    int RootCount() const { return invisibleRoot_->Count(); }
    TTreeNode* Root(int index) const { return invisibleRoot_->Item(index); }
    TTreeNode* FirstRoot() const { return invisibleRoot_->FirstChild(); }

    // Appends a child to `parent` (a root when null).
    TTreeNode* Add(TTreeNode* parent, const QString& text);
    // Deletes a node with its subtree.
    void Delete(TTreeNode* node);
    void DeleteChildren(TTreeNode* node);
    // Deletes the children for which `doomed` holds, in one pass.
    void DeleteChildrenIf(TTreeNode* node, const std::function<bool(const TTreeNode&)>& doomed);
    void Clear();
    // Orders a node's children (the roots when null); stable.
    void SortChildren(TTreeNode* node, const TCompare& compare);

    // Invalid for a node the views do not know yet.
    QModelIndex IndexOf(const TTreeNode* node) const;
    static TTreeNode* NodeOf(const QModelIndex& index);
    // Whether the views know the node (it is not waiting for a bracket's end).
    bool IsShown(const TTreeNode* node) const;

    // The update bracket; nested brackets end with the outermost.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    // Shows what a running bracket has collected so far.
    void Flush();

    // An edited text; returns whether the node takes it as its text.
    std::function<bool(TTreeNode& node, const QString& text)> OnSetText;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A node's expand button changed, or a bracket ended after such changes.
    void HasChildrenChanged();
    // A bracket ended; the views repaint what changed inside it.
    void UpdateEnded();

private:
    friend class TTreeNode;
    void NodeChanged(TTreeNode* node, bool hasChildrenChanged);
    TTreeNode* Owned(TTreeNode* parent) const { return parent ? parent : invisibleRoot_.get(); }
    void ShowPending(TTreeNode* parent);
    void SortNow(TTreeNode* parent, const TCompare& compare);
    static void MarkShown(TTreeNode* node);
    void ForgetPendingBelow(const TTreeNode* node);
    static void Renumber(TTreeNode* parent, int from);

    std::unique_ptr<TTreeNode> invisibleRoot_;
    int updateCount_ = 0;
    bool hasChildrenDirty_ = false;
    std::vector<TTreeNode*> pendingParents_;
    std::vector<std::pair<TTreeNode*, TCompare>> pendingSorts_;
};
