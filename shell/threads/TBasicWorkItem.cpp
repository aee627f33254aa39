#include "shell/threads/TBasicWorkItem.h"

#include <chrono>
#include <thread>

namespace {

// How often an item on hold looks again whether it may go on.
constexpr auto kHoldPollStep = std::chrono::milliseconds(100);

}  // namespace

std::function<void()> TBasicWorkItem::GetCompletionMethod()
{
    return completionMethod_;
}

void TBasicWorkItem::SetOnCompleted(TCompletedEvent handler)
{
    onCompleted_ = std::move(handler);
    if (onCompleted_)
        completionMethod_ = [this] { DoCompleted(); };
    else
        completionMethod_ = nullptr;
}

void TBasicWorkItem::SetCompletionMethod(std::function<void()> method)
{
    completionMethod_ = std::move(method);
}

void TBasicWorkItem::DoCompleted()
{
    if (onCompleted_)
        onCompleted_(*this);
}

bool TBasicWorkItem::CheckCancelled() const
{
    while (onHold_ && !cancelled_)
        std::this_thread::sleep_for(kHoldPollStep);
    return cancelled_;
}
