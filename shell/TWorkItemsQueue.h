#pragma once

#include "shell/IWorkItem.h"

#include <cstddef>
#include <deque>
#include <mutex>

// Items waiting for a worker, first in, first out. Every operation holds the
// queue's own lock across its steps.
class TWorkItemsQueue
{
public:
    void Add(IWorkItemPtr item);
    // The oldest item, taken out of the queue; null when the queue is empty.
    IWorkItemPtr Pop();
    // Drops the items of `owner`; returns how many were dropped.
    std::size_t RemoveOwnedBy(const void* owner);
    // Drops every item; returns how many were dropped.
    std::size_t Clear();
    std::size_t Count() const;

private:
    mutable std::mutex lock_;
    std::deque<IWorkItemPtr> items_;
};
