#include "app/work/TEngineWorker.h"

#include <QEventLoop>
#include <QMetaObject>

#include <memory>
#include <utility>

TEngineWorker::TEngineWorker(TEngineHost uiHost)
    : uiHost_(std::move(uiHost))
{
    // RunOnUi is false only once the window has abandoned the worker: then
    // there is no log, box or list left to tell, and the defaults stand.
    workerHost_.Log = [this](const std::string& line) {
        static_cast<void>(RunOnUi([&] {
            if (uiHost_.Log)
                uiHost_.Log(line);
        }));
    };
    workerHost_.ShowMessage = [this](TBoxIcon icon, const std::string& caption, const std::string& text) {
        // Unanswered, a question is answered No: nothing is replaced.
        TBoxAnswer answer = icon == TBoxIcon::Question ? TBoxAnswer::No : TBoxAnswer::Ok;
        static_cast<void>(RunOnUi([&] {
            if (uiHost_.ShowMessage)
                answer = uiHost_.ShowMessage(icon, caption, text);
        }));
        return answer;
    };
    workerHost_.RefreshList = [this] {
        static_cast<void>(RunOnUi([&] {
            if (uiHost_.RefreshList)
                uiHost_.RefreshList();
        }));
    };
    workerHost_.Progress = [this](const TProgressReport& report) {
        QMetaObject::invokeMethod(
            this,
            [this, report] {
                if (OnProgress)
                    OnProgress(report);
            },
            Qt::QueuedConnection);
        return !stop_;
    };
}

TEngineWorker::~TEngineWorker()
{
    stop_ = true;
    Abandon();
    Join();
}

void TEngineWorker::Start(std::function<void(const TEngineHost& host)> work)
{
    thread_ = std::thread([this, work = std::move(work)] {
        work(workerHost_);
        // Queued behind every call the work made, so it arrives last.
        QMetaObject::invokeMethod(
            this,
            [this] {
                finished_ = true;
                if (waitLoop_)
                    waitLoop_->quit();
            },
            Qt::QueuedConnection);
    });
}

void TEngineWorker::WaitForEnd()
{
    if (!finished_) {
        // An event loop kept inside a call: SplitFile and CombineFile return
        // only when the work is on disk, which their callers rely on. The
        // window's input is held off meanwhile (TModalInputGuard) and a close
        // waits for the end, so nothing under this loop is deleted; only the
        // progress window, timers and the work's own calls run.
        QEventLoop loop;
        waitLoop_ = &loop;
        loop.exec();
        waitLoop_ = nullptr;
    }
    // The loop ends early only when the application quits: no more events will
    // run the calls the work waits for, so they are dropped.
    if (!finished_) {
        stop_ = true;
        Abandon();
    }
    Join();
}

bool TEngineWorker::RunOnUi(const std::function<void()>& step)
{
    std::unique_lock lock(mutex_);
    if (abandoned_)
        return false;
    auto done = std::make_shared<bool>(false);
    // Runs on the user-interface thread; the worker still waits for it unless it
    // was abandoned, so step is still alive whenever it runs.
    QMetaObject::invokeMethod(
        this,
        [this, &step, done] {
            {
                const std::lock_guard check(mutex_);
                if (abandoned_)
                    return;
            }
            ++uiCallDepth_;
            step();
            --uiCallDepth_;
            const std::lock_guard finish(mutex_);
            *done = true;
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    answered_.wait(lock, [&] { return *done || abandoned_; });
    return *done;
}

void TEngineWorker::Abandon()
{
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    answered_.notify_all();
}

void TEngineWorker::Join()
{
    if (thread_.joinable())
        thread_.join();
}
