#pragma once

#include "shell/threads/TWorkItemsQueue.h"

#include <atomic>
#include <cstdint>
#include <mutex>

// What a worker pool shares with its workers; co-owned by both so that a
// worker outliving its pool still finds it.
//
// Pending items are counted per round: StopAll starts a new round with no
// item pending, and an item of an earlier round that still finishes counts
// nothing off the new round's items.
class TWorkerPoolState
{
public:
    TWorkItemsQueue queue;
    // Idle workers end after this many milliseconds without work: an idle program holds no threads.
    std::atomic<std::uint32_t> idleTimeout{60000};
    std::atomic<bool> refusing{false};

    // Counts an item in; returns the round it belongs to.
    std::uint64_t AddPending()
    {
        const std::lock_guard guard(lock_);
        ++pendingCount_;
        return round_;
    }
    // Counts an item of `round` off; true when none is left pending.
    bool FinishPending(std::uint64_t round)
    {
        const std::lock_guard guard(lock_);
        if (round != round_ || pendingCount_ <= 0)
            return false;
        return --pendingCount_ == 0;
    }
    // Starts a new round; returns how many items the old one still had pending.
    int ResetPending()
    {
        const std::lock_guard guard(lock_);
        ++round_;
        const int pending = pendingCount_;
        pendingCount_ = 0;
        return pending;
    }
    int PendingCount() const
    {
        const std::lock_guard guard(lock_);
        return pendingCount_;
    }

private:
    mutable std::mutex lock_;
    int pendingCount_ = 0;
    std::uint64_t round_ = 0;
};
