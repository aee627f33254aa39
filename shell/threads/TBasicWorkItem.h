#pragma once

#include "shell/threads/IWorkItem.h"

#include <atomic>
#include <functional>

// The base of the work items: cancellation and hold flags that Execute polls
// through CheckCancelled, and an optional completion handed to the UI thread.
class TBasicWorkItem : public IWorkItem
{
public:
    using TCompletedEvent = std::function<void(TBasicWorkItem& sender)>;

    std::function<void()> GetCompletionMethod() override;
    const void* GetOwner() const override { return owner_; }
    void Cancel() override { cancelled_ = true; }
    void SetOnHold(bool onHold) override { onHold_ = onHold; }

    // Assigning an event also makes DoCompleted the completion step; clearing
    // it removes the completion step.
    void SetOnCompleted(TCompletedEvent handler);
    const TCompletedEvent& OnCompleted() const { return onCompleted_; }

    // For use inside Execute: waits while the item is on hold and not
    // cancelled, then tells whether it was cancelled.
    bool CheckCancelled() const;
    bool Cancelled() const { return cancelled_; }
    bool OnHold() const { return onHold_; }

protected:
    void SetOwner(const void* owner) { owner_ = owner; }
    void SetCompletionMethod(std::function<void()> method);
    void DoCompleted();

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> onHold_{false};
    std::function<void()> completionMethod_;
    TCompletedEvent onCompleted_;
    const void* owner_ = nullptr;
};
