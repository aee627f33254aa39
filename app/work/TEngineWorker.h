#pragma once

#include "engine/host/TEngineHost.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QEventLoop;

// Runs one split or join on a thread of its own while the user-interface
// thread goes on painting. The engine talks to the window's host as before:
// each of its calls is carried over to the user-interface thread and the
// worker waits until it has run there, so log lines, questions and messages
// keep their order and a question waits for its answer. Progress is handed
// over without waiting. Made, used and destroyed on the user-interface thread.
class TEngineWorker : public QObject
{
public:
    // uiHost's Log, ShowMessage and RefreshList run on the user-interface
    // thread; its Progress is not used (see OnProgress).
    explicit TEngineWorker(TEngineHost uiHost);
    // Stops the work, lets every call it waits for go unanswered and joins it.
    ~TEngineWorker() override;
    TEngineWorker(const TEngineWorker&) = delete;
    TEngineWorker& operator=(const TEngineWorker&) = delete;

    // Called on the user-interface thread with the engine's reports.
    std::function<void(const TProgressReport&)> OnProgress;

    // Starts `work` on the worker thread with the host it must use; once only.
    void Start(std::function<void(const TEngineHost& host)> work);
    // Returns when the work has ended, running the user-interface thread's
    // events meanwhile. When the application quits meanwhile the work is
    // stopped and waited for, and what it still says is dropped.
    void WaitForEnd();

    // Asks the work to stop at its next progress report.
    void RequestStop() { stop_ = true; }
    bool StopRequested() const { return stop_; }
    // True while one of the engine's calls runs on the user-interface thread
    // (a message box is up).
    bool InUiCall() const { return uiCallDepth_ > 0; }

private:
    // Runs `step` on the user-interface thread and waits for it; false when
    // it was dropped because the worker is being abandoned.
    [[nodiscard]] bool RunOnUi(const std::function<void()>& step);
    void Abandon();
    void Join();

    TEngineHost uiHost_;
    TEngineHost workerHost_;
    std::atomic<bool> stop_{false};
    int uiCallDepth_ = 0;
    bool finished_ = false;           // on the user-interface thread: the work has ended
    QEventLoop* waitLoop_ = nullptr;  // the loop WaitForEnd runs, while it runs

    std::mutex mutex_;
    std::condition_variable answered_;
    bool abandoned_ = false;  // guarded by mutex_
    std::thread thread_;      // last: started after, and joined before, all else goes
};
