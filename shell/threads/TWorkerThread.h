#pragma once

#include "shell/threads/IWorkItem.h"
#include "shell/threads/TPzThread.h"

#include <cstdint>
#include <memory>
#include <mutex>

class TWorkerPoolState;

// A worker of a TWorkerThreadPool: takes items from the pool's queue, runs
// them and hands their completions to the UI thread, until it is asked to stop
// or finds no work for the pool's idle timeout.
//
// Everything the worker uses of its pool lives in the pool's shared state,
// which the worker co-owns, so a worker the pool has given up can still finish
// its item safely. Once given up (no owner pool) it runs no completion and
// changes no count.
class TWorkerThread : public TPzThread
{
public:
    TWorkerThread(std::shared_ptr<TWorkerPoolState> state, bool initializeCom);

    // The item being run, or the last one run.
    IWorkItemPtr CurrentItem() const;
    // Cancels the current item; the worker goes on with the next.
    void CancelCurrentItem();
    // Cancels the current item only when it belongs to `owner`.
    void CancelCurrentItemOf(const void* owner);
    void StopAndCancel() override;
    void SetOnHold(bool onHold) override;
    // Kept for the pools' interface; there is no apartment to enter here.
    bool InitializeCom() const { return initializeCom_; }

protected:
    void Execute() override;

private:
    // The next item, waiting up to the idle timeout; null when the worker
    // should end. `round` receives the pool's counting round of the item.
    IWorkItemPtr GetNextItem(std::uint64_t& round);
    IWorkItemPtr TakeNextItem(std::uint64_t& round);
    void RunItem(const IWorkItemPtr& item, std::uint64_t round);
    void FinishItem(std::uint64_t round);

    std::shared_ptr<TWorkerPoolState> state_;
    bool initializeCom_;
    mutable std::mutex itemLock_;
    IWorkItemPtr currentItem_;
};
