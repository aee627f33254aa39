#include "shell/panes/TPzFolderListing.h"

#include "framework/UiThread.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/threads/TBasicWorkItem.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>

// What the UI thread and the worker share of one request. The worker writes
// the result and sets `finished` under the lock; everything else belongs to
// the UI thread.
struct TPzFolderListing::TRequest
{
    std::mutex lock;
    std::condition_variable ended;
    bool finished = false;
    // When the worker last made a step (began, read an entry, probed an
    // entry's sub-folders), on the steady clock: the short wait tells a held
    // listing from a long one by it.
    std::atomic<std::chrono::steady_clock::rep> lastStep{0};
    TResult result;
    // UI thread: the listing that hands the result over, and what it then
    // runs; both cleared when the request is cancelled.
    TPzFolderListing* owner = nullptr;
    TDone done;
    std::weak_ptr<IWorkItem> work;
    // What is listed.
    TItemIdListPtr folder;
    QString filter;
    bool fileSystemOnly = false;
    TPzShellOptions options;
};

namespace {

// The listing itself, on a worker: a navigator of its own, without owner
// window and without messages, since no window may be touched here.
class TListingWork final : public TBasicWorkItem
{
public:
    TListingWork(std::shared_ptr<TPzFolderListing::TRequest> request, const void* owner, TItemIdListPtr folder,
                 QString filter, bool fileSystemOnly, TPzShellOptions options, bool subFolders)
        : request_(std::move(request))
        , folder_(std::move(folder))
        , filter_(std::move(filter))
        , fileSystemOnly_(fileSystemOnly)
        , options_(options)
        , subFolders_(subFolders)
    {
        SetOwner(owner);
    }

    void Execute() override
    {
        TPzFolderListing::TResult result;
        Step();
        try {
            TShellNavigator navigator;
            navigator.SetShowErrorMessages(false);
            navigator.SetFilter(filter_);
            navigator.SetFileSystemOnly(fileSystemOnly_);
            navigator.SetFolderIDList(folder_.get());
            while (!CheckCancelled() && navigator.Next()) {
                Step();
                if (PassesVisibilityRule(navigator, options_)) {
                    result.Items.push_back(navigator.GetObjectIDList());
                    if (subFolders_) {
                        result.SubFolders.push_back(navigator.HasSubFolders() ? 1 : 0);
                        Step();
                    }
                }
            }
            result.Error = Cancelled() ? ECANCELED : navigator.EnumerationError();
        } catch (...) {
            // A folder that cannot be entered lists nothing, as one that cannot be opened.
            result.Items.clear();
            result.SubFolders.clear();
            result.Error = ENOTDIR;
        }
        {
            const std::lock_guard guard(request_->lock);
            request_->result = std::move(result);
            request_->finished = true;
            request_->ended.notify_all();
        }
        if (Cancelled())
            return;
        // Queued without waiting for it, unlike the pool's completion steps: a
        // worker that waited for a UI thread in its short wait would keep the
        // next listing from starting.
        PostToUiThread([request = request_] {
            if (TPzFolderListing* listing = request->owner)
                listing->Deliver(request);
        });
    }

private:
    void Step()
    {
        request_->lastStep.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                                 std::memory_order_relaxed);
    }

    std::shared_ptr<TPzFolderListing::TRequest> request_;
    TItemIdListPtr folder_;
    QString filter_;
    bool fileSystemOnly_;
    TPzShellOptions options_;
    bool subFolders_;
};

}  // namespace

TPzFolderListing::TPzFolderListing()
    : pools_(std::make_unique<TWorkerPools>())
{
}

TPzFolderListing::~TPzFolderListing()
{
    Cancel();
}

bool TPzFolderListing::Start(const TShellNavigator& like, const TItemIdList* folder, TPzShellOptions options,
                             TDone done, bool subFolders, bool awaitShortly)
{
    Cancel();
    auto request = std::make_shared<TRequest>();
    request->owner = this;
    request->done = std::move(done);
    request->folder = CloneIDList(folder);
    request->filter = like.Filter();
    request->fileSystemOnly = like.FileSystemOnly();
    request->options = options;
    auto work = std::make_shared<TListingWork>(request, this, CloneIDList(folder), like.Filter(), like.FileSystemOnly(),
                                               options, subFolders);
    request->work = work;
    current_ = request;
    // Change watches come with an enumeration; the worker's would be set up
    // only after its listing, and a change in between would never be seen.
    if (const std::string path = GetPathFromIDList(folder); !path.empty())
        NotifyFolderEnumerated(path);
    TWorkerThreadPool* pool = TWorkerPools::ListingPool();
    if (pool != nullptr)
        pool->AddWorkItem(work);
    else
        work->Execute();
    if (pool != nullptr && !awaitShortly)
        return false;
    if (!AwaitShortly(*request))
        return false;
    Deliver(request);
    return true;
}

bool TPzFolderListing::AwaitShortly(TRequest& request)
{
    using TClock = std::chrono::steady_clock;
    const TClock::time_point begun = TClock::now();
    const TClock::time_point deadline = begun + kShortWait;
    std::unique_lock guard(request.lock);
    while (!request.finished) {
        const TClock::time_point step{TClock::duration(request.lastStep.load(std::memory_order_relaxed))};
        const TClock::time_point stalled = std::max(begun, step) + kStallWait;
        const TClock::time_point until = std::min(deadline, stalled);
        if (TClock::now() >= until)
            return false;
        request.ended.wait_until(guard, until);
    }
    return true;
}

bool TPzFolderListing::Lists(const TShellNavigator& like, const TItemIdList* folder, TPzShellOptions options) const
{
    return current_ && IDListsEqual(current_->folder.get(), folder) && current_->filter == like.Filter() &&
           current_->fileSystemOnly == like.FileSystemOnly() && current_->options == options;
}

void TPzFolderListing::Detach()
{
    Cancel();
    pools_.reset();
}

void TPzFolderListing::Cancel()
{
    const std::shared_ptr<TRequest> request = std::move(current_);
    current_.reset();
    if (!request)
        return;
    request->owner = nullptr;
    request->done = nullptr;
    if (const std::shared_ptr<IWorkItem> work = request->work.lock())
        work->Cancel();
}

void TPzFolderListing::Deliver(const std::shared_ptr<TRequest>& request)
{
    // Cancelled, superseded or handed over already: the completion after a
    // short wait finds the request settled.
    if (request != current_ || !request->done)
        return;
    {
        const std::lock_guard guard(request->lock);
        if (!request->finished)
            return;
    }
    current_.reset();
    request->owner = nullptr;
    const TDone done = std::move(request->done);
    request->done = nullptr;
    done(request->result);
}
