#include "framework/listview/TListViewModel.h"

#include <algorithm>
#include <iterator>

namespace {

// About a millisecond of frees; 100 000 entries take some 36 ms in all.
constexpr std::size_t kFreeSlice = 4096;

}  // namespace

TListViewModel::TListViewModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    retiredTimer_.setInterval(0);
    connect(&retiredTimer_, &QTimer::timeout, this, [this] { FreeRetiredSlice(); });
}

TListViewModel::~TListViewModel()
{
    for (auto& item : items_)
        item->row_ = -1;
}

int TListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int TListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(1, int(columns_.size()));
}

QModelIndex TListViewModel::IndexOf(const TListItem* item, int column) const
{
    if (!item || item->row_ < 0 || item->row_ >= shown_ || item->owner_ != this)
        return {};
    return index(item->row_, column);
}

QVariant TListViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_)
        return {};
    const TListItem& item = *items_[std::size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return column == 0 ? item.Caption : item.SubItems.value(column - 1);
    case Qt::TextAlignmentRole:
        if (std::size_t(column) < columns_.size())
            return QVariant::fromValue(columns_[std::size_t(column)].Alignment | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

bool TListViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || index.row() >= shown_)
        return false;
    items_[std::size_t(index.row())]->Caption = value.toString();
    emit dataChanged(index, index.siblingAtColumn(columnCount() - 1));
    return true;
}

QVariant TListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || std::size_t(section) >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[std::size_t(section)].Caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[std::size_t(section)].Alignment | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TListViewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
    if (index.column() == 0)
        result |= Qt::ItemIsEditable;
    return result;
}

void TListViewModel::Renumber(std::size_t from)
{
    for (std::size_t i = from; i < items_.size(); ++i)
        items_[i]->row_ = int(i);
}

void TListViewModel::EnsureReset()
{
    if (resetting_)
        return;
    if (updateDepth_ == 0) {
        // Callers outside a bracket get a reset of their own.
        return;
    }
    beginResetModel();
    resetting_ = true;
}

void TListViewModel::FlushAppends()
{
    if (resetting_ || shown_ >= Count())
        return;
    beginInsertRows({}, shown_, Count() - 1);
    shown_ = Count();
    endInsertRows();
}

TListItem* TListViewModel::Add(std::unique_ptr<TListItem> item)
{
    item->owner_ = this;
    item->row_ = Count();
    TListItem* added = item.get();
    items_.push_back(std::move(item));
    if (updateDepth_ == 0)
        FlushAppends();
    return added;
}

void TListViewModel::Clear()
{
    if (items_.empty())
        return;
    const bool own = updateDepth_ == 0;
    if (own)
        beginResetModel();
    else
        EnsureReset();
    for (auto& item : items_)
        item->row_ = -1;
    if (retired_.empty() && items_.size() > kFreeSlice)
        retired_ = std::move(items_);
    else if (!retired_.empty())
        retired_.insert(retired_.end(), std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()));
    if (!retired_.empty())
        retiredTimer_.start();
    items_.clear();
    shown_ = 0;
    if (own)
        endResetModel();
}

void TListViewModel::FreeRetiredSlice()
{
    const std::size_t count = std::min(kFreeSlice, retired_.size());
    retired_.erase(retired_.end() - std::ptrdiff_t(count), retired_.end());
    if (retired_.empty()) {
        retired_.shrink_to_fit();
        retiredTimer_.stop();
    }
}

void TListViewModel::Remove(const std::vector<TListItem*>& items)
{
    std::vector<int> rows;
    rows.reserve(items.size());
    for (const TListItem* item : items)
        if (item && item->owner_ == this && item->row_ >= 0 && item->row_ < Count())
            rows.push_back(item->row_);
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const std::size_t first = std::size_t(rows.front());
    // Inside an update bracket the removal of shown rows is part of its one
    // reset; rows appended in the bracket were never announced.
    if (rows.front() < shown_)
        EnsureReset();
    if (resetting_) {
        // Nothing is announced during a reset: one pass moves every row once.
        for (const int row : rows)
            items_[std::size_t(row)]->row_ = -1;
        std::erase_if(items_, [](const std::unique_ptr<TListItem>& item) { return item->row_ < 0; });
        shown_ = 0;
        Renumber(first);
        return;
    }
    // From the back, so the rows of the runs still to come stay valid.
    std::size_t end = rows.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int top = rows[begin];
        const int bottom = rows[end - 1];
        // Rows beyond the shown ones were never announced.
        const int announcedBottom = std::min(bottom, shown_ - 1);
        const bool announce = !resetting_ && top <= announcedBottom;
        if (announce)
            beginRemoveRows({}, top, announcedBottom);
        for (int row = top; row <= bottom; ++row)
            items_[std::size_t(row)]->row_ = -1;
        items_.erase(items_.begin() + top, items_.begin() + bottom + 1);
        if (!resetting_)
            shown_ -= std::max(0, announcedBottom - top + 1);
        else
            shown_ = 0;
        if (announce)
            endRemoveRows();
        end = begin;
    }
    Renumber(first);
}

void TListViewModel::Sort(const std::function<bool(const TListItem*, const TListItem*)>& less)
{
    if (items_.size() < 2)
        return;
    Rearrange([&] {
        std::stable_sort(items_.begin(), items_.end(),
                         [&](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
                             return less(a.get(), b.get());
                         });
    });
}

void TListViewModel::Reorder(const std::vector<int>& order)
{
    if (order.size() != items_.size() || items_.size() < 2)
        return;
    Rearrange([&] {
        std::vector<std::unique_ptr<TListItem>> ordered;
        ordered.reserve(items_.size());
        for (const int row : order)
            ordered.push_back(std::move(items_[std::size_t(row)]));
        items_ = std::move(ordered);
    });
}

void TListViewModel::Rearrange(const std::function<void()>& step)
{
    if (resetting_) {
        step();
        Renumber(0);
        return;
    }
    FlushAppends();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const TListItem*> held;
    held.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before)
        held.push_back(items_[std::size_t(index.row())].get());
    step();
    Renumber(0);
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after.push_back(index(held[std::size_t(i)]->row_, before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TListViewModel::ItemChanged(const TListItem* item)
{
    if (resetting_)
        return;
    const QModelIndex first = IndexOf(item);
    if (first.isValid())
        emit dataChanged(first, first.siblingAtColumn(columnCount() - 1));
}

void TListViewModel::RowsChanged(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, shown_ - 1);
    if (resetting_ || first > last)
        return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void TListViewModel::SetColumns(std::vector<TListColumn> columns)
{
    const int before = columnCount();
    const int after = std::max<int>(1, int(columns.size()));
    if (resetting_ || updateDepth_ > 0) {
        EnsureReset();
        columns_ = std::move(columns);
        return;
    }
    if (after < before)
        beginRemoveColumns({}, after, before - 1);
    else if (after > before)
        beginInsertColumns({}, before, after - 1);
    columns_ = std::move(columns);
    if (after < before)
        endRemoveColumns();
    else if (after > before)
        endInsertColumns();
    emit headerDataChanged(Qt::Horizontal, 0, after - 1);
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(shown_ - 1, after - 1));
}

void TListViewModel::BeginUpdate()
{
    ++updateDepth_;
}

void TListViewModel::EndUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    if (resetting_) {
        shown_ = Count();
        resetting_ = false;
        endResetModel();
        return;
    }
    FlushAppends();
}
