#include "shell/threads/TWorkerThreadPool.h"

#include "framework/TickCount.h"
#include "framework/UiThread.h"
#include "platform/core/system/CpuLoad.h"
#include "shell/threads/TWorkerPoolState.h"
#include "shell/threads/TWorkerThread.h"

#include <cmath>

namespace {

// Spacing of load measurements and of spawns once two workers run: a load
// figure needs some time to mean anything.
constexpr std::uint32_t kSpawnInterval = 200;

// Clears a flag on every way out of a scope.
class TFlagGuard
{
public:
    explicit TFlagGuard(std::atomic<bool>& flag)
        : flag_(flag)
    {
        flag_ = true;
    }
    ~TFlagGuard() { flag_ = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

TWorkerThreadPool::TWorkerThreadPool(bool initializeCom)
    : state_(std::make_shared<TWorkerPoolState>())
    , initializeCom_(initializeCom)
{
}

TWorkerThreadPool::~TWorkerThreadPool()
{
    TWorkerThreadPool::StopAll(true);
}

void TWorkerThreadPool::AddWorkItem(const IWorkItemPtr& item)
{
    if (!item || state_->refusing)
        return;
    state_->queue.Add(item, state_->AddPending());
    SpawnWorkerIfNeeded();
}

void TWorkerThreadPool::SpawnWorkerIfNeeded()
{
    const std::lock_guard guard(Lock());
    const int threads = LiveWorkerCount();
    if (threads >= ThreadLimit())
        return;
    const std::uint32_t now = GetTickCount();
    if (now - lastSpawnCheck_ < kSpawnInterval && threads >= 2)
        return;
    const int load = CurrentCpuLoad();
    if (threads == 0 || load < cpuLoadLimit_)
        AddThread(std::make_shared<TWorkerThread>(state_, initializeCom_));
    lastSpawnCheck_ = GetTickCount();
}

void TWorkerThreadPool::ThreadAdded(TPzThread& thread)
{
    thread.Resume();
}

void TWorkerThreadPool::ThreadEnded(const TPzThreadPtr& thread)
{
    TCustomThreadPool::ThreadEnded(thread);
    // Items queued while the last workers were on their way out would wait forever.
    if (state_->queue.Count() > 0 && LiveWorkerCount() == 0)
        SpawnWorkerIfNeeded();
}

int TWorkerThreadPool::LiveWorkerCount() const
{
    // Workers asked to stop take no more items: only the others count.
    const std::lock_guard guard(Lock());
    int live = 0;
    for (int index = 0; index < Count(); ++index) {
        if (!Thread(index)->StopRequested())
            ++live;
    }
    return live;
}

int TWorkerThreadPool::CurrentCpuLoad()
{
    const std::lock_guard guard(Lock());
    const std::uint32_t now = GetTickCount();
    if (!cpuLoadMeasured_ || now - cpuLoadTick_ > kSpawnInterval) {
        cpuLoad_ = cpuLoadProbe_ ? cpuLoadProbe_() : MeasureCpuLoad();
        cpuLoadTick_ = now;
        cpuLoadMeasured_ = true;
    }
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(cpuLoad_);
    return rounded < 0 ? 0 : static_cast<int>(rounded);
}

void TWorkerThreadPool::SetCpuLoadProbe(TCpuLoadProbe probe)
{
    const std::lock_guard guard(Lock());
    cpuLoadProbe_ = std::move(probe);
    cpuLoadMeasured_ = false;
}

void TWorkerThreadPool::CancelWork(const void* owner)
{
    std::vector<std::uint64_t> dropped;
    {
        const TFlagGuard refusing(state_->refusing);
        dropped = owner != nullptr ? state_->queue.RemoveOwnedBy(owner) : state_->queue.Clear();
        const std::lock_guard guard(Lock());
        for (int index = Count() - 1; index >= 0; --index) {
            auto* worker = dynamic_cast<TWorkerThread*>(Thread(index).get());
            if (worker == nullptr)
                continue;
            // Another owner's running item is none of this caller's business.
            if (owner != nullptr)
                worker->CancelCurrentItemOf(owner);
            else
                worker->CancelCurrentItem();
        }
    }
    DropPending(dropped);
}

void TWorkerThreadPool::DropPending(const std::vector<std::uint64_t>& rounds)
{
    // Dropped items never finish; they no longer count as pending.
    bool allDone = false;
    for (const std::uint64_t round : rounds)
        allDone = state_->FinishPending(round) || allDone;
    if (allDone)
        CallOnUiThread([this] { DoAllWorkDone(); });
}

void TWorkerThreadPool::StopAll(bool wait)
{
    CancelWork(nullptr);
    TCustomThreadPool::StopAll(wait);
    state_->queue.Clear();
    if (state_->ResetPending() != 0)
        DoAllWorkDone();
}

void TWorkerThreadPool::DoAllWorkDone()
{
    if (onAllWorkDone_)
        onAllWorkDone_(*this);
}

int TWorkerThreadPool::PendingCount() const
{
    return state_->PendingCount();
}

TWorkItemsQueue& TWorkerThreadPool::Queue()
{
    return state_->queue;
}

std::uint32_t TWorkerThreadPool::IdleTimeout() const
{
    return state_->idleTimeout;
}

void TWorkerThreadPool::SetIdleTimeout(std::uint32_t milliseconds)
{
    state_->idleTimeout = milliseconds;
}

bool TWorkerThreadPool::Refusing() const
{
    return state_->refusing;
}
