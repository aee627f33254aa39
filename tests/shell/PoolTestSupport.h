#pragma once

#include "shell/threads/TBasicWorkItem.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A work item for pool tests: records that it ran and, when told to, holds
// its worker until released or cancelled.
class TTestItem : public TBasicWorkItem
{
public:
    explicit TTestItem(const void* owner = nullptr, bool holds = false, bool honoursCancel = true)
        : holds_(holds)
        , honoursCancel_(honoursCancel)
    {
        SetOwner(owner);
    }

    void Execute() override
    {
        started = true;
        onUiThread = IsOnUiThread();
        while (holds_ && !released) {
            if (honoursCancel_ && CheckCancelled())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (onExecute)
            onExecute();
        finished = true;
    }

    std::function<void()> onExecute;
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> released{false};
    std::atomic<bool> onUiThread{false};

private:
    static bool IsOnUiThread();

    bool holds_;
    bool honoursCancel_;
};

// A list of names that several threads append to.
class TRecorder
{
public:
    void Add(const std::string& name)
    {
        const std::lock_guard guard(lock_);
        names_.push_back(name);
    }
    std::vector<std::string> Names() const
    {
        const std::lock_guard guard(lock_);
        return names_;
    }

private:
    mutable std::mutex lock_;
    std::vector<std::string> names_;
};
