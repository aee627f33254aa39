#include "PoolTestSupport.h"

#include "framework/UiThread.h"
#include "platform/core/system/CpuLoad.h"
#include "shell/threads/ThreadPool.h"
#include "tests/platform/NotifyTestSupport.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

bool TTestItem::IsOnUiThread()
{
    return ::IsUiThread();
}

namespace {

std::shared_ptr<TTestItem> HoldingItem(const void* owner = nullptr)
{
    return std::make_shared<TTestItem>(owner, true);
}

// A pool whose load the test sets.
class TPoolTest : public testing::Test
{
protected:
    void SetUp() override
    {
        pool.SetCpuLoadProbe([this] { return load.load(); });
    }
    void TearDown() override
    {
        // The handlers see the test's locals, which are gone once the pool stops.
        pool.SetOnThreadEnded(nullptr);
        pool.SetOnAllThreadsEnded(nullptr);
        pool.SetOnAllWorkDone(nullptr);
        for (const auto& item : held)
            item->released = true;
    }
    std::shared_ptr<TTestItem> Held(const void* owner = nullptr)
    {
        held.push_back(HoldingItem(owner));
        return held.back();
    }

    std::atomic<double> load{10};
    TWorkerThreadPool pool{true};
    std::vector<std::shared_ptr<TTestItem>> held;
};

}  // namespace

TEST_F(TPoolTest, StartsNoThreadWithoutWork)
{
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(pool.ThreadLimit(), 8 * TCustomThreadPool::ProcessorCount());
}

TEST_F(TPoolTest, FirstItemStartsAThreadWhateverTheLoadAndASecondOnlyBelowTheLimit)
{
    load = 95;
    pool.AddWorkItem(Held());
    EXPECT_EQ(pool.Count(), 1);
    pool.AddWorkItem(Held());
    EXPECT_EQ(pool.Count(), 1) << "a busy machine gets no second worker";

    load = 10;
    pool.SetCpuLoadProbe([this] { return load.load(); });
    pool.AddWorkItem(Held());
    EXPECT_EQ(pool.Count(), 2) << "the second worker starts at once when the load is low";
    pool.AddWorkItem(Held());
    EXPECT_EQ(pool.Count(), 2) << "a third waits for the spawn interval";
}

TEST_F(TPoolTest, FailedLoadMeasurementCountsAsIdle)
{
    load = -1;
    EXPECT_EQ(pool.CurrentCpuLoad(), 0);
    pool.AddWorkItem(Held());
    pool.AddWorkItem(Held());
    EXPECT_EQ(pool.Count(), 2);
}

TEST_F(TPoolTest, ItemsBeyondTheThreadLimitRunInOrderOfArrival)
{
    pool.SetThreadLimit(1);
    TRecorder order;
    std::vector<std::shared_ptr<TTestItem>> items;
    for (const char* name : {"a", "b", "c", "d"}) {
        auto item = std::make_shared<TTestItem>();
        item->onExecute = [&order, name] { order.Add(name); };
        items.push_back(item);
        pool.AddWorkItem(item);
    }
    EXPECT_EQ(pool.Count(), 1);
    ASSERT_TRUE(WaitUntil([&] { return order.Names().size() == 4; }));
    EXPECT_EQ(order.Names(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(WaitUntil([&] { return pool.PendingCount() == 0; }));
}

TEST_F(TPoolTest, IdleWorkerEndsAndTheNextItemStartsANewOne)
{
    pool.SetIdleTimeout(30);
    int threadsEnded = 0;
    int allEnded = 0;
    pool.SetOnThreadEnded([&](TPzThread&) { ++threadsEnded; });
    pool.SetOnAllThreadsEnded([&](TCustomThreadPool&) { ++allEnded; });
    auto first = std::make_shared<TTestItem>();
    pool.AddWorkItem(first);
    ASSERT_TRUE(WaitUntil([&] { return first->finished && pool.Count() == 0; }));
    EXPECT_EQ(threadsEnded, 1);
    EXPECT_EQ(allEnded, 1);

    auto second = std::make_shared<TTestItem>();
    pool.AddWorkItem(second);
    EXPECT_EQ(pool.Count(), 1);
    EXPECT_TRUE(WaitUntil([&] { return second->finished.load(); }));
}

TEST_F(TPoolTest, CancelWorkTouchesOnlyTheOwnersItemsAndNullTouchesAll)
{
    pool.SetThreadLimit(2);
    const int list = 0;
    const int other = 0;
    auto runningOther = Held(&other);
    auto runningList = Held(&list);
    pool.AddWorkItem(runningOther);
    pool.AddWorkItem(runningList);
    ASSERT_TRUE(WaitUntil([&] { return runningOther->started && runningList->started; }));
    auto queuedOther = std::make_shared<TTestItem>(&other);
    auto queuedList = std::make_shared<TTestItem>(&list);
    pool.AddWorkItem(queuedList);
    pool.AddWorkItem(queuedOther);
    EXPECT_EQ(pool.PendingCount(), 4);

    pool.CancelWork(&list);
    EXPECT_TRUE(runningList->Cancelled());
    EXPECT_FALSE(runningOther->Cancelled()) << "another owner's running item goes on";
    EXPECT_FALSE(queuedOther->Cancelled());
    EXPECT_FALSE(pool.Refusing());
    ASSERT_TRUE(WaitUntil([&] { return queuedOther->finished.load(); }));
    EXPECT_FALSE(queuedList->started) << "the list's queued item is dropped";
    EXPECT_FALSE(runningOther->finished);

    pool.CancelWork(nullptr);
    EXPECT_TRUE(runningOther->Cancelled());
    EXPECT_TRUE(WaitUntil([&] { return pool.PendingCount() == 0; }));
}

TEST_F(TPoolTest, CompletionsRunOnTheUiThreadAfterExecute)
{
    auto item = std::make_shared<TTestItem>();
    bool completedOnUi = false;
    bool executedFirst = false;
    item->SetOnCompleted([&](TBasicWorkItem& sender) {
        completedOnUi = IsUiThread();
        executedFirst = static_cast<TTestItem&>(sender).finished;
    });
    int allDone = 0;
    pool.SetOnAllWorkDone([&](TCustomThreadPool&) { ++allDone; });
    pool.AddWorkItem(item);
    ASSERT_TRUE(WaitUntil([&] { return allDone == 1; }));
    EXPECT_FALSE(item->onUiThread);
    EXPECT_TRUE(completedOnUi);
    EXPECT_TRUE(executedFirst);
    item->SetOnCompleted(nullptr);
    EXPECT_FALSE(item->GetCompletionMethod());
}

TEST_F(TPoolTest, ItemWithoutCompletionFinishesWithoutTheUiThread)
{
    auto item = std::make_shared<TTestItem>();
    pool.AddWorkItem(item);
    // No events are processed here: only an item that needs no hand-over can finish.
    const QDeadlineTimer deadline(kEventDeadlineMs);
    while (pool.PendingCount() != 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_TRUE(item->finished);
}

TEST_F(TPoolTest, StopAllWithoutWaitingEmptiesTheQueueAndReportsOnce)
{
    pool.SetThreadLimit(1);
    int allDone = 0;
    pool.SetOnAllWorkDone([&](TCustomThreadPool&) { ++allDone; });
    auto running = Held();
    pool.AddWorkItem(running);
    ASSERT_TRUE(WaitUntil([&] { return running->started.load(); }));
    auto queued = std::make_shared<TTestItem>();
    pool.AddWorkItem(queued);

    pool.StopAll(false);
    EXPECT_EQ(pool.Queue().Count(), 0u);
    EXPECT_EQ(pool.PendingCount(), 0);
    // The report comes from StopAll itself, or from the worker when the
    // cancelled item finishes first; then it reaches the UI thread queued.
    EXPECT_TRUE(running->Cancelled());
    ASSERT_TRUE(WaitUntil([&] { return pool.Count() == 0; })) << "the workers end on their own";
    ASSERT_TRUE(RunQueuedCalls());
    EXPECT_EQ(allDone, 1);
    EXPECT_FALSE(queued->started);
}

TEST_F(TPoolTest, WorkAddedWhileTheWorkersLeaveStillRuns)
{
    load = 95;
    pool.AddWorkItem(Held());
    pool.StopAll(false);
    auto late = std::make_shared<TTestItem>();
    pool.AddWorkItem(late);
    EXPECT_TRUE(WaitUntil([&] { return late->finished.load(); }));

    // Workers that give up as soon as the queue is empty: every item still runs.
    pool.SetIdleTimeout(0);
    for (int round = 0; round < 5; ++round) {
        auto item = std::make_shared<TTestItem>();
        pool.AddWorkItem(item);
        EXPECT_TRUE(WaitUntil([&] { return item->finished.load(); })) << round;
    }
}

TEST_F(TPoolTest, ItemFinishingAfterStopAllCountsNothingOffNewWork)
{
    auto old = std::make_shared<TTestItem>(nullptr, true, false);
    held.push_back(old);
    pool.AddWorkItem(old);
    ASSERT_TRUE(WaitUntil([&] { return old->started.load(); }));
    pool.StopAll(false);
    auto fresh = Held();
    pool.AddWorkItem(fresh);
    EXPECT_EQ(pool.PendingCount(), 1);
    old->released = true;
    ASSERT_TRUE(WaitUntil([&] { return old->finished && pool.Count() == 1; }));
    ASSERT_TRUE(RunQueuedCalls());
    EXPECT_EQ(pool.PendingCount(), 1) << "the new item is still running";
    fresh->released = true;
    EXPECT_TRUE(WaitUntil([&] { return pool.PendingCount() == 0; }));
}

TEST_F(TPoolTest, StopAllWaitingReturnsWithEveryWorkerGone)
{
    load = 0;
    for (int index = 0; index < 2; ++index)
        pool.AddWorkItem(Held());
    ASSERT_EQ(pool.Count(), 2);
    pool.StopAll(true);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_EQ(pool.PendingCount(), 0);
}

// Stopping and waiting on the UI thread runs the steps the workers wait for
// there (the item's completion, the end report), and nothing else queued.
TEST_F(TPoolTest, StoppingOnTheUiThreadRunsOnlyWhatTheWorkersWaitFor)
{
    auto item = Held();
    bool completed = false;
    item->SetOnCompleted([&](TBasicWorkItem&) { completed = true; });
    int ended = 0;
    pool.SetOnThreadEnded([&](TPzThread&) { ++ended; });
    pool.AddWorkItem(item);
    ASSERT_TRUE(WaitUntil([&] { return item->started.load(); }));
    bool unrelated = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { unrelated = true; }, Qt::QueuedConnection);

    pool.StopAll(true);
    EXPECT_TRUE(completed);
    EXPECT_EQ(ended, 1) << "the worker ended, it was not given up";
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_FALSE(unrelated);
    ASSERT_TRUE(RunQueuedCalls());
    EXPECT_TRUE(unrelated);
    item->SetOnCompleted(nullptr);
}

TEST(TPoolGiveUp, WorkerThatIgnoresTheStopIsLeftToEndOnItsOwn)
{
    auto stubborn = std::make_shared<TTestItem>(nullptr, true, false);
    bool completed = false;
    stubborn->SetOnCompleted([&](TBasicWorkItem&) { completed = true; });
    TPzThreadPtr worker;
    {
        TWorkerThreadPool pool(true);
        pool.SetHardKillTimeout(20);
        pool.AddWorkItem(stubborn);
        ASSERT_TRUE(WaitUntil([&] { return stubborn->started.load(); }));
        worker = pool.Thread(0);
        pool.StopAll(true);
        EXPECT_EQ(pool.Count(), 0);
    }
    // The pool is gone; the worker still holds the item and must not touch the pool.
    stubborn->released = true;
    ASSERT_TRUE(WaitUntil([&] { return stubborn->finished.load(); }));
    ASSERT_TRUE(WaitUntil([&] { return worker.use_count() == 1; })) << "the worker has left";
    ASSERT_TRUE(RunQueuedCalls());
    EXPECT_FALSE(completed);
}

TEST(TPoolGiveUp, StopAllGivesUpAWorkerWhoseEndCannotReachTheUiThread)
{
    TWorkerThreadPool pool(true);
    pool.SetHardKillTimeout(20);
    auto item = std::make_shared<TTestItem>();
    pool.AddWorkItem(item);
    ASSERT_TRUE(WaitUntil([&] { return item->finished && pool.PendingCount() == 0; }));
    const TPzThreadPtr worker = pool.Thread(0);
    ASSERT_TRUE(worker);

    // The UI thread waits for the stop without taking events, so the worker's
    // end report stays queued.
    auto stopped = std::async(std::launch::async, [&] { pool.StopAll(true); });
    EXPECT_EQ(stopped.wait_for(std::chrono::milliseconds(kEventDeadlineMs)), std::future_status::ready);
    ASSERT_TRUE(WaitUntil([&] { return stopped.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(pool.Count(), 0);
    // The queued report then finds no pool and the worker ends.
    EXPECT_TRUE(WaitUntil([&] { return worker.use_count() == 1; }));
}

TEST(TWorkerPools, CreatedAtStartAndGoneAtTheEnd)
{
    EXPECT_EQ(TWorkerPools::FolderSizePool(), nullptr);
    {
        TWorkerPools pools;
        ASSERT_NE(TWorkerPools::FolderSizePool(), nullptr);
        ASSERT_NE(TWorkerPools::ThumbnailPool(), nullptr);
        EXPECT_NE(TWorkerPools::FolderSizePool(), TWorkerPools::ThumbnailPool());
        EXPECT_EQ(TWorkerPools::FolderSizePool()->Count(), 0);
        TWorkerThreadPool* const thumbnails = TWorkerPools::ThumbnailPool();
        {
            TWorkerPools again;
            EXPECT_EQ(TWorkerPools::ThumbnailPool(), thumbnails) << "made once, however often referenced";
        }
        EXPECT_EQ(TWorkerPools::ThumbnailPool(), thumbnails) << "kept while a reference remains";
    }
    EXPECT_EQ(TWorkerPools::ThumbnailPool(), nullptr);
}

TEST(CpuLoad, ReadsIdleAndTotalFromTheFirstLine)
{
    TCpuTimes times;
    ASSERT_TRUE(ParseCpuTimes("cpu  10 20 30 400 50 6 7 8 90 0\ncpu0 1 2 3 4\n", times));
    EXPECT_EQ(times.idle, 450u);
    EXPECT_EQ(times.total, 531u);
    EXPECT_FALSE(ParseCpuTimes("cpu0 1 2 3 4\n", times));
    EXPECT_FALSE(ParseCpuTimes("cpu  1 2\n", times));
    EXPECT_FALSE(ParseCpuTimes("", times));
}

TEST(CpuLoad, LoadFromTwoReadings)
{
    // A quarter of the time idle on two processors: 75 % load, plus the half for rounding.
    EXPECT_DOUBLE_EQ(CpuLoadBetween({100, 200}, {150, 400}, 2, 0), 75.5);
    EXPECT_DOUBLE_EQ(CpuLoadBetween({0, 0}, {900, 1000}, 1, 0), 10.5) << "the first reading measures from boot";
    EXPECT_DOUBLE_EQ(CpuLoadBetween({150, 400}, {150, 400}, 2, 42), 42) << "no time passed: the last figure stands";
    const double measured = MeasureCpuLoad();
    EXPECT_GE(measured, 0);
    EXPECT_LE(measured, 100.5);
}
