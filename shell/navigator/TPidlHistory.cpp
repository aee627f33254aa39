#include "shell/navigator/TPidlHistory.h"

#include <algorithm>
#include <utility>

void TPidlHistory::Add(TItemIdListPtr list)
{
    if (!list)
        return;
    if (position_ + 1 < Count())
        entries_.erase(entries_.begin() + (position_ + 1), entries_.end());
    entries_.push_back(std::move(list));
    position_ = Count() - 1;
}

void TPidlHistory::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    entries_.erase(entries_.begin() + index);
    if (index < position_ || position_ >= Count())
        --position_;
}

void TPidlHistory::GoForward(int count)
{
    if (count > 0 && !entries_.empty())
        position_ = std::min(position_ + count, Count() - 1);
}

void TPidlHistory::GoBack(int count)
{
    if (count > 0 && !entries_.empty())
        position_ = std::max(position_ - count, 0);
}

const TItemIdList* TPidlHistory::Item(int index) const
{
    return index >= 0 && index < Count() ? entries_[static_cast<std::size_t>(index)].get() : nullptr;
}

void TPidlHistory::Clear()
{
    entries_.clear();
    position_ = -1;
}
