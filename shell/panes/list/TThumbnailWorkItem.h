#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "shell/threads/TBasicWorkItem.h"

#include <QImage>

#include <functional>

class IThumbnailViewer;

// One thumbnail to extract: on a worker thread it makes the picture of an item
// (a QImage, which may be made off the UI thread), then hands it to its viewer
// on the UI thread unless the item was cancelled meanwhile.
class TThumbnailWorkItem : public TBasicWorkItem
{
public:
    // Makes the picture of an absolute item at most width x height; a null
    // image when there is none. Runs on worker threads.
    using TExtraction = std::function<QImage(const TItemIdList* absolute, int width, int height)>;

    // `owner` is what CancelWork withdraws the item by (the list); the item id is taken over.
    TThumbnailWorkItem(TItemIdListPtr absolute, const void* owner, int imageIndex, IThumbnailViewer* viewer, int height,
                       int width);

    void Execute() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int ImageIndex() const { return imageIndex_; }
    const QImage& Picture() const { return picture_; }

    // Replaces how pictures are made (a stand-in of tests); an empty function
    // restores the shell's extraction. Returns the one replaced.
    static TExtraction SetExtraction(TExtraction extraction);

private:
    // UI thread: hands the picture over unless cancelled.
    void Deliver();

    int width_;
    int height_;
    QImage picture_;
    TItemIdListPtr itemId_;
    IThumbnailViewer* viewer_;
    int imageIndex_;
};

// The shell's extraction: a private navigator without owner window and
// without messages takes the item and asks it for its thumbnail.
QImage ExtractItemThumbnail(const TItemIdList* absolute, int width, int height);
