#include "shell/panes/list/TThumbnailWorkItem.h"

#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/list/IThumbnailViewer.h"

#include <mutex>

namespace {

std::mutex extractionLock;
TThumbnailWorkItem::TExtraction replacedExtraction;

TThumbnailWorkItem::TExtraction CurrentExtraction()
{
    const std::lock_guard guard(extractionLock);
    return replacedExtraction ? replacedExtraction : TThumbnailWorkItem::TExtraction(ExtractItemThumbnail);
}

}  // namespace

QImage ExtractItemThumbnail(const TItemIdList* absolute, int width, int height)
{
    // No owner and no messages: this runs on a worker, where no window may be touched.
    TShellNavigator navigator;
    navigator.SetShowErrorMessages(false);
    navigator.SetAbsoluteIDList(absolute);
    return navigator.ExtractThumbnail(width, height);
}

TThumbnailWorkItem::TThumbnailWorkItem(TItemIdListPtr absolute, const void* owner, int imageIndex,
                                       IThumbnailViewer* viewer, int height, int width)
    : width_(width)
    , height_(height)
    , itemId_(std::move(absolute))
    , viewer_(viewer)
    , imageIndex_(imageIndex)
{
    SetOwner(owner);
    SetCompletionMethod([this] { Deliver(); });
}

void TThumbnailWorkItem::Execute()
{
    const TItemIdListPtr item = std::move(itemId_);
    if (CheckCancelled())
        return;
    try {
        picture_ = CurrentExtraction()(item.get(), width_, height_);
    } catch (...) {
        // An item the shell cannot picture keeps its placeholder.
        picture_ = QImage();
    }
}

void TThumbnailWorkItem::Deliver()
{
    // Cancelled() rather than CheckCancelled(): the UI thread must never wait for a hold.
    if (Cancelled() || viewer_ == nullptr)
        return;
    viewer_->ThumbnailReady(picture_, imageIndex_);
}

TThumbnailWorkItem::TExtraction TThumbnailWorkItem::SetExtraction(TExtraction extraction)
{
    const std::lock_guard guard(extractionLock);
    TExtraction previous = std::move(replacedExtraction);
    replacedExtraction = std::move(extraction);
    return previous;
}
