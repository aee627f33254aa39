#include "shell/threads/TPzThread.h"

#include "framework/UiThread.h"
#include "shell/threads/TCustomThreadPool.h"

#include <chrono>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// How often a thread on hold looks again whether it may go on.
constexpr auto kHoldPollStep = std::chrono::milliseconds(100);

int NiceValueOf(TThreadPriority priority)
{
    switch (priority) {
    case TThreadPriority::tpIdle: return 19;
    case TThreadPriority::tpLowest: return 10;
    case TThreadPriority::tpLower: return 5;
    default: return 0;
    }
}

}  // namespace

void TPzThread::Resume()
{
    if (started_.exchange(true))
        return;
    std::thread([self = shared_from_this()] { self->Run(); }).detach();
}

bool TPzThread::WaitWhileOnHold() const
{
    while (onHold_ && !stopRequested_)
        std::this_thread::sleep_for(kHoldPollStep);
    return stopRequested_;
}

TCustomThreadPool* TPzThread::OwnerPool() const
{
    const std::lock_guard guard(ownerLock_);
    return ownerPool_;
}

void TPzThread::SetOwnerPool(TCustomThreadPool* pool)
{
    const std::lock_guard guard(ownerLock_);
    ownerPool_ = pool;
}

void TPzThread::ReportEnd()
{
    TCustomThreadPool* pool = OwnerPool();
    if (pool == nullptr)
        return;
    pool->DoThreadEnded(*this);
    pool->ThreadEnded(shared_from_this());
}

void TPzThread::Execute()
{
    WaitWhileOnHold();
}

void TPzThread::DoTerminate()
{
    ending_ = true;
    if (OwnerPool() != nullptr)
        CallOnUiThread([this] { ReportEnd(); });
}

void TPzThread::Run()
{
    ApplyPriority();
    try {
        Execute();
    } catch (...) {
        // An escaping error ends the thread like a normal end; the pool removes it.
    }
    DoTerminate();
}

void TPzThread::ApplyPriority() const
{
    const int nice = NiceValueOf(priority_);
    if (nice != 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice);
}
