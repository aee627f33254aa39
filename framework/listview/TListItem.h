#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TListView;
class TListViewModel;

// What a user of the list view hangs on an entry; owned by the entry.
class TListItemData
{
public:
    virtual ~TListItemData() = default;
};

// One entry of a TListView: caption (column 0), the texts of the further
// columns, indexes into the view's image lists (-1: none) and the user's data.
// Fields may be written directly while the entry is being completed (from the
// view's completion step); elsewhere call TListView::UpdateItem afterwards so
// the entry is repainted.
class TListItem
{
public:
    TListItem() = default;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    QString Caption;
    QStringList SubItems;
    int ImageIndex = -1;
    int OverlayIndex = -1;
    int StateIndex = -1;

    // The entry's row; -1 once it has left the view. Constant time.
    int Index() const { return row_; }
    // The model the entry was added to.
    const TListViewModel* Owner() const { return owner_; }
    bool Cut() const { return cut_; }
    // Whether the view's completion step has run for the entry.
    bool Completed() const { return completed_; }
    bool DropHighlighted() const { return dropHighlighted_; }

    TListItemData* Data() const { return data_.get(); }
    void SetData(std::unique_ptr<TListItemData> data) { data_ = std::move(data); }

private:
    friend class TListViewModel;
    friend class TListView;

    int row_ = -1;
    const TListViewModel* owner_ = nullptr;
    bool cut_ = false;
    bool completed_ = false;
    bool dropHighlighted_ = false;
    std::unique_ptr<TListItemData> data_;
};
