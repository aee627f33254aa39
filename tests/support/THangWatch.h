#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Turns a test that hangs into a failure that says where: once one test has
// run for longer than its limit, every thread's stack goes to standard error
// (through gdb, where it is installed) and the process aborts, long before
// ctest's own timeout would end it without a word.
class THangWatch : public testing::EmptyTestEventListener
{
public:
    explicit THangWatch(std::chrono::seconds limit);
    ~THangWatch() override;
    THangWatch(const THangWatch&) = delete;
    THangWatch& operator=(const THangWatch&) = delete;

    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;

private:
    void Watch();

    const std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int started_ = 0;  // tests begun; a test has ended when ended_ caught up
    int ended_ = 0;
    bool stopping_ = false;
    std::thread watcher_;
};
