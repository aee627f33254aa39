#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "shell/panes/TPzShellOptions.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class TShellNavigator;
class TWorkerPools;

// One folder's listing for a pane, read on a worker of the listing pool so
// that a slow folder (a network mount, a hanging drive) never stops the
// window. The pane asks for a folder; the listing waits a short while for the
// answer as long as entries keep coming, so that a fast folder is shown at
// once, as if it were read on the spot. A slower one arrives later through
// the event loop, in one step. A newer request cancels the older one, whose
// result is then never handed over.
//
// Use on the UI thread only.
class TPzFolderListing
{
public:
    // What a finished listing found: the objects the pane shows, as items
    // relative to the folder, in the folder's order, and the errno value that
    // ended the listing early (0 when it reached its end). When asked for,
    // whether each object has sub-folders (1) or not (0), a question that
    // reads the object's own folder.
    struct TResult
    {
        std::vector<TItemIdListPtr> Items;
        std::vector<char> SubFolders;
        int Error = 0;
    };
    using TDone = std::function<void(TResult& result)>;

    // A folder read within this long is shown at once: a fast folder never
    // flickers through an empty pane, and callers that expect the entries
    // right after asking still get them.
    static constexpr std::chrono::milliseconds kShortWait{150};
    // A listing that finds nothing new for this long is held by its file
    // system (a network mount, a hanging drive): the wait ends early, so
    // that the window paints its next frame on time. A local folder's next
    // entries come within a millisecond.
    static constexpr std::chrono::milliseconds kStallWait{40};

    TPzFolderListing();
    // Cancels a listing still running.
    ~TPzFolderListing();
    TPzFolderListing(const TPzFolderListing&) = delete;
    TPzFolderListing& operator=(const TPzFolderListing&) = delete;

    // Lists the folder (absolute) as `like` would (its filter and file-system
    // rule), keeping the objects a pane with `options` shows, and cancels an
    // older listing. Returns true when the listing ended within kShortWait,
    // never stalled for kStallWait: `done` has then run. Otherwise `done`
    // runs later from the event loop, unless the listing is cancelled first.
    // `subFolders`: the result tells which objects have sub-folders.
    // `awaitShortly` false: no wait at all, for a listing nobody waits for
    // (a refresh after a change), so that the window never stops for it.
    [[nodiscard]] bool Start(const TShellNavigator& like, const TItemIdList* folder, TPzShellOptions options,
                             TDone done, bool subFolders = false, bool awaitShortly = true);
    // Drops the running listing: its result is never handed over.
    void Cancel();
    // Cancels and gives up this listing's hold on the pools; for an owner's
    // destructor, while the owner is still whole: the last hold stops the
    // pools, which lets events run. Later listings run on the spot.
    void Detach();
    // Whether a listing was started and has neither been handed over nor cancelled.
    bool Pending() const { return current_ != nullptr; }
    // Whether the pending listing is the one Start would begin with these arguments.
    bool Lists(const TShellNavigator& like, const TItemIdList* folder, TPzShellOptions options) const;

    struct TRequest;
    // Hands a finished request's result over, unless it was settled meanwhile.
    void Deliver(const std::shared_ptr<TRequest>& request);

private:
    // Waits for the request up to kShortWait while it moves on; whether it ended.
    static bool AwaitShortly(TRequest& request);

    std::unique_ptr<TWorkerPools> pools_;
    std::shared_ptr<TRequest> current_;
};
