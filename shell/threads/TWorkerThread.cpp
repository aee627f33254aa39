#include "shell/threads/TWorkerThread.h"

#include "framework/TickCount.h"
#include "framework/UiThread.h"
#include "shell/threads/TWorkerPoolState.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <chrono>
#include <thread>

namespace {

// How often an idle worker looks into the queue.
constexpr auto kIdlePollStep = std::chrono::milliseconds(10);

}  // namespace

TWorkerThread::TWorkerThread(std::shared_ptr<TWorkerPoolState> state, bool initializeCom)
    : state_(std::move(state))
    , initializeCom_(initializeCom)
{
}

IWorkItemPtr TWorkerThread::CurrentItem() const
{
    const std::lock_guard guard(itemLock_);
    return currentItem_;
}

void TWorkerThread::CancelCurrentItem()
{
    if (IWorkItemPtr item = CurrentItem())
        item->Cancel();
    Resume();
}

void TWorkerThread::CancelCurrentItemOf(const void* owner)
{
    if (IWorkItemPtr item = CurrentItem(); item && item->GetOwner() == owner)
        item->Cancel();
    Resume();
}

void TWorkerThread::StopAndCancel()
{
    RequestStop();
    CancelCurrentItem();
}

void TWorkerThread::SetOnHold(bool onHold)
{
    TPzThread::SetOnHold(onHold);
    if (IWorkItemPtr item = CurrentItem())
        item->SetOnHold(onHold);
}

void TWorkerThread::Execute()
{
    WaitWhileOnHold();
    while (!WaitWhileOnHold()) {
        std::uint64_t round = 0;
        const IWorkItemPtr item = GetNextItem(round);
        if (!item)
            continue;
        try {
            item->Execute();
        } catch (...) {
            // Items catch their own errors; one that escapes ends this worker
            // without a completion, but the item no longer counts as pending.
            FinishItem(round);
            return;
        }
        RunItem(item, round);
    }
}

IWorkItemPtr TWorkerThread::GetNextItem(std::uint64_t& round)
{
    const std::uint32_t start = GetTickCount();
    IWorkItemPtr item = TakeNextItem(round);
    while (!item && !WaitWhileOnHold()) {
        if (GetTickCount() - start > state_->idleTimeout) {
            StopAndCancel();
            return nullptr;
        }
        std::this_thread::sleep_for(kIdlePollStep);
        item = TakeNextItem(round);
    }
    return item;
}

IWorkItemPtr TWorkerThread::TakeNextItem(std::uint64_t& round)
{
    // Taken and made current in one step, so that CancelWork finds every
    // item either still queued or current.
    const std::lock_guard guard(itemLock_);
    currentItem_ = state_->queue.Pop(&round);
    return currentItem_;
}

void TWorkerThread::RunItem(const IWorkItemPtr& item, std::uint64_t round)
{
    if (std::function<void()> completion = item->GetCompletionMethod()) {
        // Checked on the UI thread, where a pool gives up its workers, so a
        // given-up worker never reaches into its former pool's users.
        CallOnUiThread([this, &completion] {
            if (OwnerPool() != nullptr)
                completion();
        });
    }
    FinishItem(round);
}

void TWorkerThread::FinishItem(std::uint64_t round)
{
    if (OwnerPool() == nullptr)
        return;
    // Posted, not waited for: a worker kept waiting for a busy UI thread would
    // hold up the next item, which that thread may be waiting for itself.
    if (state_->FinishPending(round)) {
        PostToUiThread([self = shared_from_this()] {
            if (auto* pool = dynamic_cast<TWorkerThreadPool*>(self->OwnerPool()))
                pool->DoAllWorkDone();
        });
    }
}
