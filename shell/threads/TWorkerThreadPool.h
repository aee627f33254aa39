#pragma once

#include "shell/threads/IWorkItem.h"
#include "shell/threads/TCustomThreadPool.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWorkerPoolState;
class TWorkItemsQueue;

// A self-sizing pool of workers for short background jobs. It starts no thread
// before the first item arrives; then one thread at once, a second at the next
// item, and after that at most one more per spawn interval while the
// processors are below CpuLoadLimit, up to ThreadLimit. Workers end after
// IdleTimeout without work. Completions and OnAllWorkDone run on the UI thread.
class TWorkerThreadPool : public TCustomThreadPool
{
public:
    // Measures the processor load in percent; negative on failure.
    using TCpuLoadProbe = std::function<double()>;

    explicit TWorkerThreadPool(bool initializeCom);
    ~TWorkerThreadPool() override;

    // Queues an item and starts a worker when the spawn rule allows. While
    // CancelWork runs the item is dropped and never runs.
    void AddWorkItem(const IWorkItemPtr& item);
    // Drops the queued items of `owner` and cancels the items workers are
    // running for it; null drops and cancels every item.
    void CancelWork(const void* owner);
    // Cancels all work, empties the queue and asks every worker to stop;
    // with `wait`, returns once they have left.
    void StopAll(bool wait) override;

    int PendingCount() const;
    TWorkItemsQueue& Queue();
    std::uint32_t IdleTimeout() const;
    void SetIdleTimeout(std::uint32_t milliseconds);
    int CpuLoadLimit() const { return cpuLoadLimit_; }
    void SetCpuLoadLimit(int percent) { cpuLoadLimit_ = percent; }
    bool Refusing() const;
    bool InitializeCom() const { return initializeCom_; }

    // The load as the spawn rule sees it: measured at most once per interval,
    // rounded to the nearest integer, 0 when the measurement failed.
    int CurrentCpuLoad();
    // Replaces the measurement of the processor load (tests set a load).
    void SetCpuLoadProbe(TCpuLoadProbe probe);

    void SetOnAllWorkDone(TPoolEvent handler) { onAllWorkDone_ = std::move(handler); }
    // UI thread: raises OnAllWorkDone.
    void DoAllWorkDone();

    // Also starts a worker when items wait and the ending thread was the last to take them.
    void ThreadEnded(const TPzThreadPtr& thread) override;

protected:
    void ThreadAdded(TPzThread& thread) override;

private:
    void SpawnWorkerIfNeeded();
    int LiveWorkerCount() const;
    // Counts dropped items (by their rounds) off the pending ones and reports when none is left.
    void DropPending(const std::vector<std::uint64_t>& rounds);

    std::shared_ptr<TWorkerPoolState> state_;
    bool initializeCom_;
    int cpuLoadLimit_ = kDefaultCpuLoadLimit;
    double cpuLoad_ = 0;
    std::uint32_t cpuLoadTick_ = 0;
    bool cpuLoadMeasured_ = false;
    std::uint32_t lastSpawnCheck_ = 0;
    TCpuLoadProbe cpuLoadProbe_;
    TPoolEvent onAllWorkDone_;

    // Above this load a further worker would only compete with the work already running.
    static constexpr int kDefaultCpuLoadLimit = 80;
};
