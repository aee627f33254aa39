#pragma once

#include <atomic>
#include <memory>
#include <mutex>

class TCustomThreadPool;

enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical,
};

// A thread of a pool. It is created suspended (no system thread exists until
// Resume) and frees itself: the running thread holds the object by shared
// ownership, so the object lives until its body and end step have run, however
// long others keep or drop their references. Create it with std::make_shared.
//
// A system thread cannot be killed safely here. A pool that gives up waiting
// for a thread detaches it from itself (SetOwnerPool(nullptr)); the thread
// then ends on its own without touching the pool again.
class TPzThread : public std::enable_shared_from_this<TPzThread>
{
public:
    TPzThread() = default;
    virtual ~TPzThread() = default;
    TPzThread(const TPzThread&) = delete;
    TPzThread& operator=(const TPzThread&) = delete;

    // Starts the system thread the first time; does nothing later.
    void Resume();
    bool Suspended() const { return !started_; }

    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }
    // How a pool asks the thread to stop; workers also cancel their item.
    virtual void StopAndCancel() { RequestStop(); }

    // Set as the thread leaves its body, before its end is reported.
    bool Ending() const { return ending_; }

    bool OnHold() const { return onHold_; }
    virtual void SetOnHold(bool onHold) { onHold_ = onHold; }
    // Waits while on hold and not asked to stop; returns StopRequested.
    bool WaitWhileOnHold() const;

    TCustomThreadPool* OwnerPool() const;
    void SetOwnerPool(TCustomThreadPool* pool);

    TThreadPriority Priority() const { return priority_; }
    // Takes effect when the thread starts. Raising the priority above normal
    // needs privileges the program does not have; such a request is ignored.
    void SetPriority(TThreadPriority priority) { priority_ = priority; }

    // UI thread: tells the owning pool that this thread has ended.
    virtual void ReportEnd();

protected:
    // The thread body: by default waits while on hold and returns.
    virtual void Execute();
    // Runs on the ending thread after the body: marks the thread as ending
    // and hands ReportEnd to the UI thread when a pool owns the thread.
    virtual void DoTerminate();

private:
    void Run();
    void ApplyPriority() const;

    std::atomic<bool> started_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> ending_{false};
    std::atomic<bool> onHold_{false};
    std::atomic<TThreadPriority> priority_{TThreadPriority::tpNormal};
    mutable std::mutex ownerLock_;
    TCustomThreadPool* ownerPool_ = nullptr;
};

using TPzThreadPtr = std::shared_ptr<TPzThread>;
