#include "framework/treeview/TTreeNodeModel.h"

#include <algorithm>
#include <numeric>

TTreeNodeModel::TTreeNodeModel(QObject* parent)
    : QAbstractItemModel(parent)
    , invisibleRoot_(new TTreeNode(this, nullptr, QString()))
{
}

TTreeNodeModel::~TTreeNodeModel() = default;

void TTreeNodeModel::Renumber(TTreeNode* parent, int from)
{
    for (int i = from; i < parent->Count(); ++i)
        parent->children_[std::size_t(i)]->index_ = i;
}

bool TTreeNodeModel::IsShown(const TTreeNode* node) const
{
    for (; node && node->parent_; node = node->parent_)
        if (node->index_ >= node->parent_->shown_)
            return false;
    return node != nullptr;
}

QModelIndex TTreeNodeModel::IndexOf(const TTreeNode* node) const
{
    if (!node || !node->parent_ || node->index_ >= node->parent_->shown_)
        return {};
    return createIndex(node->index_, 0, const_cast<TTreeNode*>(node));
}

TTreeNode* TTreeNodeModel::NodeOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

void TTreeNodeModel::MarkShown(TTreeNode* node)
{
    node->shown_ = node->Count();
    for (auto& child : node->children_)
        MarkShown(child.get());
}

TTreeNode* TTreeNodeModel::Add(TTreeNode* parent, const QString& text)
{
    TTreeNode* owner = Owned(parent);
    auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, owner, text));
    TTreeNode* added = node.get();
    const int row = owner->Count();
    node->index_ = row;
    const bool announce = owner->shown_ == row && (owner == invisibleRoot_.get() || IsShown(owner));
    if (announce && !Updating()) {
        beginInsertRows(IndexOf(parent), row, row);
        owner->children_.push_back(std::move(node));
        owner->shown_ = owner->Count();
        endInsertRows();
    } else {
        owner->children_.push_back(std::move(node));
        if (announce && !owner->pendingListed_) {
            owner->pendingListed_ = true;
            pendingParents_.push_back(owner);
        }
    }
    return added;
}

void TTreeNodeModel::ForgetPendingBelow(const TTreeNode* node)
{
    auto below = [node](const TTreeNode* candidate) {
        for (const TTreeNode* walk = candidate; walk; walk = walk->parent_)
            if (walk == node)
                return true;
        return false;
    };
    std::erase_if(pendingParents_, below);
    std::erase_if(pendingSorts_, [&](const auto& sort) { return below(sort.first); });
}

void TTreeNodeModel::Delete(TTreeNode* node)
{
    if (!node)
        return;
    TTreeNode* owner = node->parent_;
    ForgetPendingBelow(node);
    const int row = node->index_;
    const bool shown = IsShown(node);
    if (shown)
        beginRemoveRows(IndexOf(node->Parent()), row, row);
    owner->children_.erase(owner->children_.begin() + row);
    if (row < owner->shown_)
        --owner->shown_;
    Renumber(owner, row);
    if (shown)
        endRemoveRows();
}

void TTreeNodeModel::DeleteChildren(TTreeNode* node)
{
    DeleteChildrenIf(node, [](const TTreeNode&) { return true; });
}

void TTreeNodeModel::DeleteChildrenIf(TTreeNode* node, const std::function<bool(const TTreeNode&)>& doomed)
{
    TTreeNode* owner = Owned(node);
    if (owner->children_.empty())
        return;
    std::vector<char> remove(owner->children_.size());
    bool any = false;
    for (std::size_t i = 0; i < remove.size(); ++i) {
        remove[i] = doomed(*owner->children_[i]);
        if (remove[i]) {
            ForgetPendingBelow(owner->children_[i].get());
            any = true;
        }
    }
    if (!any)
        return;
    const bool ownerShown = owner == invisibleRoot_.get() || IsShown(owner);
    const QModelIndex parentIndex = IndexOf(node);
    // Shown rows go in contiguous ranges from the back, so earlier rows keep their numbers.
    int end = owner->Count();
    while (end > 0) {
        if (!remove[std::size_t(end - 1)]) {
            --end;
            continue;
        }
        int begin = end - 1;
        while (begin > 0 && remove[std::size_t(begin - 1)])
            --begin;
        const int shownEnd = std::min(end, owner->shown_);
        const bool signal = ownerShown && begin < shownEnd;
        if (signal)
            beginRemoveRows(parentIndex, begin, shownEnd - 1);
        owner->children_.erase(owner->children_.begin() + begin, owner->children_.begin() + end);
        owner->shown_ -= std::max(0, shownEnd - begin);
        Renumber(owner, begin);
        if (signal)
            endRemoveRows();
        end = begin;
    }
}

void TTreeNodeModel::Clear()
{
    DeleteChildren(nullptr);
}

void TTreeNodeModel::SortChildren(TTreeNode* node, const TCompare& compare)
{
    TTreeNode* owner = Owned(node);
    if (owner->Count() < 2)
        return;
    if (owner->shown_ == 0 || !IsShown(owner) || !Updating()) {
        SortNow(owner, compare);
        return;
    }
    // Shown and waiting children mixed inside a bracket: sort once all are shown.
    if (!owner->sortPending_) {
        owner->sortPending_ = true;
        pendingSorts_.emplace_back(owner, compare);
    } else {
        for (auto& sort : pendingSorts_)
            if (sort.first == owner)
                sort.second = compare;
    }
}

void TTreeNodeModel::SortNow(TTreeNode* owner, const TCompare& compare)
{
    owner->sortPending_ = false;
    auto& children = owner->children_;
    auto less = [&](const std::unique_ptr<TTreeNode>& a, const std::unique_ptr<TTreeNode>& b) {
        return compare(*a, *b) < 0;
    };
    // Only the shown rows need persistent indexes remapped; a parent whose rows
    // are all waiting is sorted silently.
    const bool shownRows = owner->shown_ > 0 && (owner == invisibleRoot_.get() || IsShown(owner));
    if (!shownRows || owner->shown_ < owner->Count()) {
        if (!shownRows) {
            std::stable_sort(children.begin(), children.end(), less);
            Renumber(owner, 0);
            return;
        }
        // Some shown, some waiting (outside a bracket this cannot happen): show first.
        ShowPending(owner);
    }
    if (std::is_sorted(children.begin(), children.end(), less))
        return;
    const QModelIndex parentIndex = owner == invisibleRoot_.get() ? QModelIndex() : IndexOf(owner);
    emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(children.begin(), children.end(), less);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex& index : persistent) {
        TTreeNode* child = NodeOf(index);
        if (child->parent_ != owner)
            continue;
        from.append(index);
    }
    Renumber(owner, 0);
    for (const QModelIndex& index : std::as_const(from))
        to.append(createIndex(NodeOf(index)->index_, 0, NodeOf(index)));
    changePersistentIndexList(from, to);
    emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
}

void TTreeNodeModel::ShowPending(TTreeNode* owner)
{
    owner->pendingListed_ = false;
    const int first = owner->shown_;
    const int last = owner->Count() - 1;
    if (last < first)
        return;
    if (owner != invisibleRoot_.get() && !IsShown(owner))
        return;  // shown with its parent
    beginInsertRows(owner == invisibleRoot_.get() ? QModelIndex() : IndexOf(owner), first, last);
    owner->shown_ = owner->Count();
    for (int i = first; i <= last; ++i)
        MarkShown(owner->Item(i));
    endInsertRows();
}

void TTreeNodeModel::BeginUpdate()
{
    ++updateCount_;
}

void TTreeNodeModel::Flush()
{
    // Parents nearer the roots first, so a subtree appears with one insertion.
    auto parents = std::move(pendingParents_);
    pendingParents_.clear();
    std::stable_sort(parents.begin(), parents.end(),
                     [](const TTreeNode* a, const TTreeNode* b) { return a->Level() < b->Level(); });
    for (TTreeNode* parent : parents)
        if (parent->pendingListed_)
            ShowPending(parent);
    auto sorts = std::move(pendingSorts_);
    pendingSorts_.clear();
    for (auto& [parent, compare] : sorts)
        if (parent->sortPending_)
            SortNow(parent, compare);
}

void TTreeNodeModel::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0)
        return;
    Flush();
    emit UpdateEnded();
    if (hasChildrenDirty_) {
        hasChildrenDirty_ = false;
        emit HasChildrenChanged();
    }
}

void TTreeNodeModel::NodeChanged(TTreeNode* node, bool hasChildrenChanged)
{
    if (Updating()) {
        hasChildrenDirty_ = hasChildrenDirty_ || hasChildrenChanged;
        return;  // the views repaint when the bracket ends
    }
    const QModelIndex index = IndexOf(node);
    if (!index.isValid() || !IsShown(node))
        return;
    emit dataChanged(index, index);
    if (hasChildrenChanged)
        emit HasChildrenChanged();
}

QModelIndex TTreeNodeModel::index(int row, int column, const QModelIndex& parent) const
{
    const TTreeNode* owner = parent.isValid() ? NodeOf(parent) : invisibleRoot_.get();
    if (column != 0 || row < 0 || row >= owner->shown_)
        return {};
    return createIndex(row, 0, owner->Item(row));
}

QModelIndex TTreeNodeModel::parent(const QModelIndex& child) const
{
    const TTreeNode* node = NodeOf(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int TTreeNodeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return parent.isValid() ? NodeOf(parent)->shown_ : invisibleRoot_->shown_;
}

int TTreeNodeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TTreeNodeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return invisibleRoot_->shown_ > 0;
    if (parent.column() > 0)
        return false;
    const TTreeNode* node = NodeOf(parent);
    return node->hasChildren_ || node->shown_ > 0;
}

QVariant TTreeNodeModel::data(const QModelIndex& index, int role) const
{
    const TTreeNode* node = NodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole: return node->text_;
    case Qt::ForegroundRole: return node->textColor_.isValid() ? QVariant(node->textColor_) : QVariant();
    default: return {};
    }
}

bool TTreeNodeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TTreeNode* node = NodeOf(index);
    if (!node || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (OnSetText && !OnSetText(*node, text))
        return false;
    node->SetText(text);
    return true;
}

Qt::ItemFlags TTreeNodeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
