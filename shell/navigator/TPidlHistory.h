#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <vector>

// The folder tree's history of selected folders: absolute item id lists, owned
// here, with the index of the current one (-1 while the history is empty).
class TPidlHistory
{
public:
    // Takes ownership; entries after Position are dropped first, and the new
    // list becomes the current one. A null list is ignored.
    void Add(TItemIdListPtr list);
    // Frees and removes one entry; Position keeps pointing at the same entry
    // where it can.
    void Delete(int index);
    // Move Position by up to `count` entries, stopping at the first or last.
    void GoForward(int count);
    void GoBack(int count);

    int Position() const { return position_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    // The list at `index`, still owned by the history; null out of range.
    const TItemIdList* Item(int index) const;
    const TItemIdList* Current() const { return Item(position_); }
    void Clear();

private:
    std::vector<TItemIdListPtr> entries_;
    int position_ = -1;
};
