// The file list's thumbnail mode: placeholders at once, pictures from the
// shared thumbnail pool as they arrive.

#include "shell/panes/list/TPzShellList.h"

#include "shell/images/TPzSystemImageList.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/list/TThumbnailWorkItem.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QDateTime>
#include <QPainter>

namespace {

const QColor kThumbnailFrameColour(0xC0, 0xC0, 0xC0);

}  // namespace

void TPzShellList::SetViewStyle(TViewStyle style)
{
    // While loading, the stored style vsIcon is the one thumbnails need.
    if (thumbnails_ && (!loading_ || style != vsIcon))
        SetThumbnails(false);
    TListView::SetViewStyle(style);
    if (!loading_)
        UpdateSortArrows();
}

void TPzShellList::SetThumbnails(bool value)
{
    if (thumbnails_ == value)
        return;
    thumbnails_ = value;
    if (value) {
        if (!pools_)
            pools_ = std::make_unique<TWorkerPools>();
        SetLargeImages(&thumbnailImages_);
        TListView::SetViewStyle(vsIcon);
        if (!loading_)
            UpdateSortArrows();
    } else {
        SetLargeImages(&largeImages_);
    }
    FullRefresh();
}

void TPzShellList::SetThumbnailWidth(int value)
{
    SetThumbnailSize(value, ThumbnailHeight());
}

void TPzShellList::SetThumbnailHeight(int value)
{
    SetThumbnailSize(ThumbnailWidth(), value);
}

void TPzShellList::SetThumbnailSize(int width, int height)
{
    if (width < 1 || height < 1 || QSize(width, height) == thumbnailImages_.ImageSize())
        return;
    // Pictures on their way belong to placeholders that are about to go: the
    // new ones would take their indexes and show the wrong pictures.
    CancelThumbnails();
    thumbnailImages_.SetImageSize(width, height);
    thumbnailShown_.clear();
    for (int row = 0; row < Count(); ++row) {
        Item(row)->ImageIndex = -1;
        MarkIncomplete(*Item(row));
    }
    ImagesChanged();
}

void TPzShellList::ClearThumbnails()
{
    thumbnailImages_.Clear();
    thumbnailShown_.clear();
}

bool TPzShellList::ThumbnailMode() const
{
    return thumbnails_ && ViewStyle() == vsIcon;
}

bool TPzShellList::ThumbnailShown(const TListItem& item) const
{
    return item.ImageIndex >= 0 && std::size_t(item.ImageIndex) < thumbnailShown_.size() &&
           thumbnailShown_[std::size_t(item.ImageIndex)];
}

void TPzShellList::CancelThumbnails()
{
    if (TWorkerThreadPool* pool = TWorkerPools::ThumbnailPool())
        pool->CancelWork(this);
}

void TPzShellList::CompleteThumbnail(TListItem& item, const TPzShellListItem& data)
{
    // The parent entry shows the shown folder's own icon.
    if (data.IsParentEntry)
        browser_->SetObjectIDList(nullptr);
    const int iconIndex = browser_->GetIconIndex();
    const int width = ThumbnailWidth();
    const int height = ThumbnailHeight();
    const int index = thumbnailImages_.Add(MakeIconFrameBitmap(largeImages_, height, width, iconIndex));
    thumbnailShown_.push_back(false);
    item.ImageIndex = index;
    TWorkerThreadPool* pool = TWorkerPools::ThumbnailPool();
    if (data.IsParentEntry || index < 0 || pool == nullptr)
        return;
    pool->AddWorkItem(std::make_shared<TThumbnailWorkItem>(ConcatIDLists(FolderIdList(), data.Item()), this, index,
                                                           this, height, width));
}

void TPzShellList::ThumbnailReady(const QImage& picture, int imageIndex)
{
    if (picture.isNull() || imageIndex < 0 || imageIndex >= thumbnailImages_.Count())
        return;
    // The picture keeps its place at the top left; what it leaves free shows
    // the list's background, and a frame closes it as the placeholder's did.
    const QSize size = thumbnailImages_.ImageSize();
    QPixmap framed(size);
    framed.fill(palette().color(QPalette::Base));
    {
        QPainter painter(&framed);
        painter.drawImage(0, 0, picture);
        painter.setPen(kThumbnailFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    }
    thumbnailImages_.Replace(imageIndex, framed);
    thumbnailShown_[std::size_t(imageIndex)] = true;
    ImagesChanged();
}

void TPzShellList::RenewThumbnailIfChanged(TListItem& item)
{
    if (!ThumbnailMode())
        return;
    const QDateTime modified = browser_->GetModificationDate();
    if (!modified.isValid() || modified.msecsTo(QDateTime::currentDateTimeUtc()) > kThumbnailRenewalMs)
        return;
    TPzShellListItem* data = ShellItemOf(&item);
    // The enumeration's id carries the new size and date the details show.
    data->SetItem(browser_->GetObjectIDList());
    item.SubItems.clear();
    CompleteItem(item);
    // Sends what the completion left to a worker (a folder that lists slowly).
    DoShownRowsCompleted();
    UpdateItem(&item);
}
