#pragma once

#include "platform/icons/TSystemIconTable.h"

#include <QIcon>
#include <QPixmap>

#include <vector>

enum TImageListSize { ilsSmall = 0, ilsLarge = 1 };

constexpr int kSmallIconSize = 16;
constexpr int kLargeIconSize = 32;

// Overlay indexes of the system image lists.
constexpr int kShareOverlayIndex = 0;
constexpr int kLinkOverlayIndex = 1;

// A system image list: the icons of a TSystemIconTable at one size. There is
// one process-wide list per size; both answer the same indexes. Pixmaps are
// rendered on first use and cached, which needs the UI thread.
class TSystemImageList
{
public:
    TSystemImageList(TSystemIconTable& table, TImageListSize size);
    TSystemImageList(const TSystemImageList&) = delete;
    TSystemImageList& operator=(const TSystemImageList&) = delete;

    // The process-wide lists over TSystemIconTable::Process().
    static TSystemImageList& Get(TImageListSize size);

    TImageListSize Size() const { return size_; }
    int Width() const;
    int Height() const;
    int Count() const;
    TSystemIconTable& Table() const { return table_; }

    // Null for an index out of range (-1 included).
    QIcon Icon(int index) const;
    QPixmap Pixmap(int index) const;
    // An overlay covers the whole icon square and is drawn over the icon.
    QPixmap OverlayPixmap(int overlayIndex) const;

private:
    TSystemIconTable& table_;
    TImageListSize size_;
    mutable std::vector<QPixmap> pixmaps_;
    mutable std::vector<QPixmap> overlays_;
};
