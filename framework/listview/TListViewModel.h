#pragma once

#include "framework/listview/TListItem.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// A column of a list view in report style.
struct TListColumn
{
    QString Caption;
    int Width = 50;
    Qt::Alignment Alignment = Qt::AlignLeft;
};

// The flat model under TListView: one vector of entries, each knowing its row.
// It knows no view: data() gives what the entries hold, and the view fills
// them in (pictures, colours and completion are the view's).
// Changes made inside the view's update bracket are announced together when
// the bracket closes: a clear (and everything after it) as one reset, entries
// appended to a shown list as one insertion. Removals are announced per
// contiguous run of rows.
class TListViewModel final : public QAbstractTableModel
{
public:
    explicit TListViewModel(QObject* parent = nullptr);
    ~TListViewModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Entries, including those appended inside a bracket and not yet announced.
    int Count() const { return int(items_.size()); }
    TListItem* Item(int row) const { return row >= 0 && row < Count() ? items_[std::size_t(row)].get() : nullptr; }
    QModelIndex IndexOf(const TListItem* item, int column = 0) const;

    TListItem* Add(std::unique_ptr<TListItem> item);
    void Clear();
    // Removes entries (in any order) in one pass, announcing each contiguous run once.
    void Remove(const std::vector<TListItem*>& items);
    // Stable sort by `less`; persistent indexes (selection, current) follow
    // their entries. While it sorts, every entry's Index() is still its row
    // before the sort, so `less` may look up keys made per row beforehand.
    void Sort(const std::function<bool(const TListItem*, const TListItem*)>& less);
    // Puts the entries in this order: row i takes the entry of row order[i]
    // (a permutation of the rows); persistent indexes follow their entries.
    void Reorder(const std::vector<int>& order);
    void ItemChanged(const TListItem* item);
    // Announces that the entries of rows first..last changed, in one signal.
    void RowsChanged(int first, int last);

    const std::vector<TListColumn>& Columns() const { return columns_; }
    void SetColumns(std::vector<TListColumn> columns);

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateDepth_ > 0; }

private:
    void Renumber(std::size_t from);
    // Runs a step that reorders items_, announced as a change of layout.
    void Rearrange(const std::function<void()>& step);
    void EnsureReset();
    void FlushAppends();
    void FreeRetiredSlice();

    std::vector<std::unique_ptr<TListItem>> items_;
    std::vector<TListColumn> columns_;
    // Rows the views know of; entries beyond it are announced at EndUpdate.
    int shown_ = 0;
    int updateDepth_ = 0;
    bool resetting_ = false;
    // Entries cleared away, freed a slice per event-loop turn: freeing a large
    // folder's entries at once would hold up the window for a frame or more.
    std::vector<std::unique_ptr<TListItem>> retired_;
    QTimer retiredTimer_;
};
