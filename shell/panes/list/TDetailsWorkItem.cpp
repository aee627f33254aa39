#include "shell/panes/list/TDetailsWorkItem.h"

#include "shell/navigator/TShellNavigator.h"

TDetailsWorkItem::TDetailsWorkItem(TItemIdListPtr folder, std::vector<int> details, std::uint32_t attributeMask,
                                   std::vector<TEntry> entries, const void* owner, TDelivery delivery)
    : folder_(std::move(folder))
    , details_(std::move(details))
    , attributeMask_(attributeMask)
    , entries_(std::move(entries))
    , delivery_(std::move(delivery))
{
    SetOwner(owner);
    // Cancelled() rather than CheckCancelled(): the UI thread must never wait for a hold.
    SetCompletionMethod([this] {
        if (!Cancelled() && delivery_)
            delivery_(entries_);
    });
}

void TDetailsWorkItem::Execute()
{
    if (CheckCancelled())
        return;
    // No owner and no messages: this runs on a worker, where no window may be touched.
    TShellNavigator navigator;
    navigator.SetShowErrorMessages(false);
    navigator.SetFolderIDList(folder_.get());
    for (TEntry& entry : entries_) {
        // Checked per entry: each may wait on a slow file system.
        if (CheckCancelled())
            return;
        navigator.SetObjectIDList(entry.ItemId.get());
        entry.Texts.reserve(qsizetype(details_.size()));
        for (const int detail : details_)
            entry.Texts.push_back(navigator.GetDetailText(detail, false));
        if (attributeMask_ != 0)
            entry.Attributes = navigator.GetAttributes(attributeMask_);
    }
}
