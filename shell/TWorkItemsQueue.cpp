#include "shell/TWorkItemsQueue.h"

#include <algorithm>

void TWorkItemsQueue::Add(IWorkItemPtr item)
{
    const std::lock_guard guard(lock_);
    items_.push_back(std::move(item));
}

IWorkItemPtr TWorkItemsQueue::Pop()
{
    const std::lock_guard guard(lock_);
    if (items_.empty())
        return nullptr;
    IWorkItemPtr item = std::move(items_.front());
    items_.pop_front();
    return item;
}

std::size_t TWorkItemsQueue::RemoveOwnedBy(const void* owner)
{
    std::deque<IWorkItemPtr> dropped;
    {
        const std::lock_guard guard(lock_);
        const auto kept = std::stable_partition(items_.begin(), items_.end(),
            [owner](const IWorkItemPtr& item) { return item->GetOwner() != owner; });
        std::move(kept, items_.end(), std::back_inserter(dropped));
        items_.erase(kept, items_.end());
    }
    // The dropped items are released outside the lock: an item's destructor may be long.
    return dropped.size();
}

std::size_t TWorkItemsQueue::Clear()
{
    std::deque<IWorkItemPtr> dropped;
    {
        const std::lock_guard guard(lock_);
        dropped.swap(items_);
    }
    return dropped.size();
}

std::size_t TWorkItemsQueue::Count() const
{
    const std::lock_guard guard(lock_);
    return items_.size();
}
