#include "framework/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>

namespace {

// A call another thread waits for. Whoever takes it first runs it (or, for a
// call the application dropped, skips it) and releases the waiting thread.
struct TWaitingCall
{
    explicit TWaitingCall(const std::function<void()>& call)
        : step(call)
    {
    }
    const std::function<void()>& step;
    std::mutex lock;
    std::condition_variable released;
    bool taken = false;
    bool finished = false;
};
using TWaitingCallPtr = std::shared_ptr<TWaitingCall>;

std::mutex& WaitingLock()
{
    static std::mutex lock;
    return lock;
}

std::deque<TWaitingCallPtr>& Waiting()
{
    static std::deque<TWaitingCallPtr> calls;
    return calls;
}

bool Take(TWaitingCall& call)
{
    const std::lock_guard guard(call.lock);
    return !std::exchange(call.taken, true);
}

void Release(TWaitingCall& call)
{
    {
        const std::lock_guard guard(call.lock);
        call.finished = true;
    }
    call.released.notify_all();
}

void Run(TWaitingCall& call)
{
    if (!Take(call))
        return;
    // Released on every way out, an escaping error included.
    struct TReleaseOnExit
    {
        TWaitingCall& call;
        ~TReleaseOnExit() { Release(call); }
    } release{call};
    call.step();
}

// Owned by the queued call of one waiting call: when the application drops
// the queued call unrun, its destruction releases the waiting thread.
class TDropGuard
{
public:
    explicit TDropGuard(TWaitingCallPtr call)
        : call_(std::move(call))
    {
    }
    TDropGuard(const TDropGuard&) = delete;
    TDropGuard& operator=(const TDropGuard&) = delete;
    ~TDropGuard()
    {
        if (call_ && Take(*call_))
            Release(*call_);
    }

private:
    TWaitingCallPtr call_;
};

}  // namespace

bool IsUiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

void CallOnUiThread(const std::function<void()>& step)
{
    if (IsUiThread()) {
        step();
        return;
    }
    auto call = std::make_shared<TWaitingCall>(step);
    {
        const std::lock_guard guard(WaitingLock());
        Waiting().push_back(call);
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [guard = std::make_shared<TDropGuard>(call)] { RunWaitingUiCalls(); },
        Qt::QueuedConnection);
    std::unique_lock lock(call->lock);
    call->released.wait(lock, [&] { return call->finished; });
}

void RunWaitingUiCalls()
{
    for (;;) {
        TWaitingCallPtr call;
        {
            const std::lock_guard guard(WaitingLock());
            if (Waiting().empty())
                return;
            call = std::move(Waiting().front());
            Waiting().pop_front();
        }
        Run(*call);
    }
}

void PostToUiThread(std::function<void()> step)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(step), Qt::QueuedConnection);
}
