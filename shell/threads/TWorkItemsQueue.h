#pragma once

#include "shell/threads/IWorkItem.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

// Items waiting for a worker, first in, first out, each with the tag its pool
// gave it. Every operation holds the queue's own lock across its steps.
class TWorkItemsQueue
{
public:
    void Add(IWorkItemPtr item, std::uint64_t tag = 0);
    // The oldest item, taken out of the queue; null when the queue is empty.
    IWorkItemPtr Pop(std::uint64_t* tag = nullptr);
    // Drops the items of `owner`; returns the tags of the dropped items.
    std::vector<std::uint64_t> RemoveOwnedBy(const void* owner);
    // Drops every item; returns the tags of the dropped items.
    std::vector<std::uint64_t> Clear();
    std::size_t Count() const;

private:
    struct TEntry
    {
        IWorkItemPtr item;
        std::uint64_t tag = 0;
    };

    std::vector<std::uint64_t> TakeOut(const std::function<bool(const TEntry&)>& dropped);

    mutable std::mutex lock_;
    std::deque<TEntry> items_;
};
