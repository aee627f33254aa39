#include "shell/threads/TWorkItemsQueue.h"

#include <algorithm>

void TWorkItemsQueue::Add(IWorkItemPtr item, std::uint64_t tag)
{
    const std::lock_guard guard(lock_);
    items_.push_back({std::move(item), tag});
}

IWorkItemPtr TWorkItemsQueue::Pop(std::uint64_t* tag)
{
    const std::lock_guard guard(lock_);
    if (items_.empty())
        return nullptr;
    TEntry entry = std::move(items_.front());
    items_.pop_front();
    if (tag != nullptr)
        *tag = entry.tag;
    return std::move(entry.item);
}

std::vector<std::uint64_t> TWorkItemsQueue::RemoveOwnedBy(const void* owner)
{
    return TakeOut([owner](const TEntry& entry) { return entry.item->GetOwner() == owner; });
}

std::vector<std::uint64_t> TWorkItemsQueue::Clear()
{
    return TakeOut([](const TEntry&) { return true; });
}

std::vector<std::uint64_t> TWorkItemsQueue::TakeOut(const std::function<bool(const TEntry&)>& dropped)
{
    std::deque<TEntry> removed;
    {
        const std::lock_guard guard(lock_);
        const auto kept =
            std::stable_partition(items_.begin(), items_.end(), [&](const TEntry& entry) { return !dropped(entry); });
        std::move(kept, items_.end(), std::back_inserter(removed));
        items_.erase(kept, items_.end());
    }
    // The items are released outside the lock: an item's destructor may take long.
    std::vector<std::uint64_t> tags;
    tags.reserve(removed.size());
    for (const TEntry& entry : removed)
        tags.push_back(entry.tag);
    return tags;
}

std::size_t TWorkItemsQueue::Count() const
{
    const std::lock_guard guard(lock_);
    return items_.size();
}
