#include "shell/threads/TCustomThreadPool.h"

#include "framework/TickCount.h"
#include "framework/UiThread.h"
#include "platform/core/system/CpuLoad.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Threads a pool may run per processor: the items wait on the disk more than on the processor.
constexpr int kThreadsPerProcessor = 8;
// Pause before StopAll starts waiting, so that threads already leaving have left.
constexpr auto kStopAllSettle = std::chrono::milliseconds(10);
// Polling step while waiting for one thread to leave.
constexpr auto kStopThreadPollStep = std::chrono::milliseconds(5);

// A thread that ends, or finishes an item, waits for a step on the UI thread
// (its end report, the item's completion): a UI thread that waits for it runs
// those steps, and only those, so that neither waits for the other.
void RunWorkerStepsIfOnUiThread()
{
    if (IsUiThread())
        RunWaitingUiCalls();
}

}  // namespace

TCustomThreadPool::TCustomThreadPool()
    : threadLimit_(kThreadsPerProcessor * ProcessorCount())
{
}

TCustomThreadPool::~TCustomThreadPool()
{
    TCustomThreadPool::StopAll(true);
}

int TCustomThreadPool::ProcessorCount()
{
    return OnlineProcessorCount();
}

int TCustomThreadPool::AddThread(const TPzThreadPtr& thread)
{
    const std::lock_guard guard(lock_);
    threads_.push_back(thread);
    thread->SetOwnerPool(this);
    thread->SetPriority(threadPriority_);
    ThreadAdded(*thread);
    return static_cast<int>(threads_.size()) - 1;
}

void TCustomThreadPool::ThreadAdded(TPzThread&) {}

void TCustomThreadPool::ThreadEnded(const TPzThreadPtr& thread)
{
    if (!thread->Ending()) {
        StopThread(thread);
        return;
    }
    bool removed = false;
    {
        const std::lock_guard guard(lock_);
        const auto found = std::find(threads_.begin(), threads_.end(), thread);
        if (found != threads_.end()) {
            threads_.erase(found);
            thread->SetOwnerPool(nullptr);
            removed = true;
        }
    }
    if (removed)
        ThreadRemoved();
}

void TCustomThreadPool::ThreadRemoved()
{
    if (Count() == 0 && onAllThreadsEnded_)
        CallOnUiThread([this] { onAllThreadsEnded_(*this); });
}

void TCustomThreadPool::DoThreadEnded(TPzThread& thread)
{
    if (onThreadEnded_)
        onThreadEnded_(thread);
}

void TCustomThreadPool::StopAll(bool wait)
{
    {
        const std::lock_guard guard(lock_);
        for (auto thread = threads_.rbegin(); thread != threads_.rend(); ++thread) {
            (*thread)->StopAndCancel();
            (*thread)->Resume();
        }
    }
    if (!wait)
        return;
    std::this_thread::sleep_for(kStopAllSettle);
    while (TPzThreadPtr first = Thread(0))
        StopThread(first);
}

void TCustomThreadPool::StopThread(const TPzThreadPtr& thread)
{
    if (!thread)
        return;
    // A thread already ending needs no request, but its end report may be
    // waiting for the UI thread, which may never take it: it gets the same
    // time as any other before it is given up.
    if (!thread->Ending()) {
        thread->StopAndCancel();
        thread->Resume();
    }
    const std::uint32_t start = GetTickCount();
    while (GetTickCount() - start < hardKillTimeout_) {
        if (!Contains(thread.get()))
            return;
        RunWorkerStepsIfOnUiThread();
        if (!Contains(thread.get()))
            return;
        std::this_thread::sleep_for(kStopThreadPollStep);
    }
    bool givenUp = false;
    {
        const std::lock_guard guard(lock_);
        const auto found = std::find(threads_.begin(), threads_.end(), thread);
        if (found != threads_.end()) {
            threads_.erase(found);
            thread->SetOwnerPool(nullptr);
            givenUp = true;
        }
    }
    if (givenUp)
        ThreadRemoved();
}

int TCustomThreadPool::Count() const
{
    const std::lock_guard guard(lock_);
    return static_cast<int>(threads_.size());
}

TPzThreadPtr TCustomThreadPool::Thread(int index) const
{
    const std::lock_guard guard(lock_);
    if (index < 0 || index >= static_cast<int>(threads_.size()))
        return nullptr;
    return threads_[static_cast<std::size_t>(index)];
}

bool TCustomThreadPool::Contains(const TPzThread* thread) const
{
    const std::lock_guard guard(lock_);
    return std::any_of(threads_.begin(), threads_.end(),
                       [thread](const TPzThreadPtr& entry) { return entry.get() == thread; });
}
