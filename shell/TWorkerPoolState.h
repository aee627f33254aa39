#pragma once

#include "shell/TWorkItemsQueue.h"

#include <atomic>
#include <cstdint>

// What a worker pool shares with its workers; co-owned by both so that a
// worker outliving its pool still finds it.
class TWorkerPoolState
{
public:
    TWorkItemsQueue queue;
    std::atomic<int> pendingCount{0};
    // Idle workers end after this many milliseconds without work: an idle program holds no threads.
    std::atomic<std::uint32_t> idleTimeout{60000};
    std::atomic<bool> refusing{false};

    // Counts `finished` items off the pending ones, never below zero (StopAll
    // may have reset the count while an item still ran). True when the count
    // has just reached zero.
    bool FinishPending(int finished = 1)
    {
        int count = pendingCount.load();
        int left = 0;
        do {
            if (count <= 0)
                return false;
            left = count > finished ? count - finished : 0;
        } while (!pendingCount.compare_exchange_weak(count, left));
        return left == 0;
    }
};
