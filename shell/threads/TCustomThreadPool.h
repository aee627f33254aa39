#pragma once

#include "shell/threads/TPzThread.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// A set of threads that end on request, each removing itself from the pool as
// it ends. The list holds the threads by shared ownership next to the threads'
// own, so a thread taken from the list stays valid however it ends.
class TCustomThreadPool
{
public:
    using TThreadEvent = std::function<void(TPzThread& sender)>;
    using TPoolEvent = std::function<void(TCustomThreadPool& sender)>;

    TCustomThreadPool();
    virtual ~TCustomThreadPool();
    TCustomThreadPool(const TCustomThreadPool&) = delete;
    TCustomThreadPool& operator=(const TCustomThreadPool&) = delete;

    // Adopts a thread: owner, priority, then ThreadAdded. Returns its index.
    virtual int AddThread(const TPzThreadPtr& thread);
    // UI thread: an ending thread leaves the list; any other is stopped.
    virtual void ThreadEnded(const TPzThreadPtr& thread);
    // Asks every thread to stop; with `wait`, returns once all have left.
    virtual void StopAll(bool wait);
    // Asks one thread to stop and waits up to HardKillTimeout for it to
    // leave; a thread still there then is given up: it leaves the list and
    // ends on its own without touching the pool.
    void StopThread(const TPzThreadPtr& thread);

    int Count() const;
    TPzThreadPtr Thread(int index) const;
    bool Contains(const TPzThread* thread) const;

    int ThreadLimit() const { return threadLimit_; }
    void SetThreadLimit(int limit) { threadLimit_ = limit; }
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority priority) { threadPriority_ = priority; }
    std::uint32_t HardKillTimeout() const { return hardKillTimeout_; }
    void SetHardKillTimeout(std::uint32_t milliseconds) { hardKillTimeout_ = milliseconds; }

    void SetOnThreadEnded(TThreadEvent handler) { onThreadEnded_ = std::move(handler); }
    void SetOnAllThreadsEnded(TPoolEvent handler) { onAllThreadsEnded_ = std::move(handler); }

    // UI thread: raises OnThreadEnded for `thread`.
    void DoThreadEnded(TPzThread& thread);

    // Processors online, at least 1.
    static int ProcessorCount();

protected:
    // Called under Lock once the thread is in the list.
    virtual void ThreadAdded(TPzThread& thread);
    // Called once the list has lost the thread; raises OnAllThreadsEnded when it was the last.
    void ThreadRemoved();
    std::recursive_mutex& Lock() const { return lock_; }

private:
    mutable std::recursive_mutex lock_;
    std::vector<TPzThreadPtr> threads_;
    int threadLimit_;
    std::atomic<TThreadPriority> threadPriority_{TThreadPriority::tpNormal};
    std::atomic<std::uint32_t> hardKillTimeout_{kDefaultHardKillTimeout};
    TThreadEvent onThreadEnded_;
    TPoolEvent onAllThreadsEnded_;

    // Long enough for an item between two cancellation checks, short enough for a quick exit.
    static constexpr std::uint32_t kDefaultHardKillTimeout = 3000;
};
