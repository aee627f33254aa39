#pragma once

#include <functional>
#include <memory>

// A background job run by a worker pool. The pool and the worker running it
// hold it by shared ownership; it lives as long as the last of them.
class IWorkItem
{
public:
    virtual ~IWorkItem() = default;

    // The step to run on the UI thread after Execute; empty for none.
    virtual std::function<void()> GetCompletionMethod() = 0;
    // The key CancelWork compares; null for items that belong to nobody.
    virtual const void* GetOwner() const = 0;
    // Runs on a worker thread; must not let exceptions escape.
    virtual void Execute() = 0;
    virtual void Cancel() = 0;
    virtual void SetOnHold(bool onHold) = 0;
};

using IWorkItemPtr = std::shared_ptr<IWorkItem>;
