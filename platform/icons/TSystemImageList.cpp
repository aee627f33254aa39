#include "platform/icons/TSystemImageList.h"

TSystemImageList::TSystemImageList(TSystemIconTable& table, TImageListSize size)
    : table_(table)
    , size_(size)
{
    InitPlatformResources();
}

TSystemImageList& TSystemImageList::Get(TImageListSize size)
{
    // Live for the whole run: views keep pointers to them.
    static TSystemImageList* const small = new TSystemImageList(TSystemIconTable::Process(), ilsSmall);
    static TSystemImageList* const large = new TSystemImageList(TSystemIconTable::Process(), ilsLarge);
    return size == ilsLarge ? *large : *small;
}

int TSystemImageList::Width() const
{
    return size_ == ilsLarge ? kLargeIconSize : kSmallIconSize;
}

int TSystemImageList::Height() const
{
    return Width();
}

int TSystemImageList::Count() const
{
    return table_.Count();
}

QIcon TSystemImageList::Icon(int index) const
{
    return table_.Icon(index);
}

QPixmap TSystemImageList::Pixmap(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    const auto slot = static_cast<std::size_t>(index);
    if (pixmaps_.size() <= slot)
        pixmaps_.resize(slot + 1);
    if (pixmaps_[slot].isNull())
        pixmaps_[slot] = table_.Icon(index).pixmap(QSize(Width(), Height()));
    return pixmaps_[slot];
}

QPixmap TSystemImageList::OverlayPixmap(int overlayIndex) const
{
    if (overlayIndex != kShareOverlayIndex && overlayIndex != kLinkOverlayIndex)
        return {};
    if (overlays_.empty()) {
        overlays_.push_back(QIcon(kShareOverlayResourceIcon).pixmap(QSize(Width(), Height())));
        overlays_.push_back(QIcon(kLinkOverlayResourceIcon).pixmap(QSize(Width(), Height())));
    }
    return overlays_[static_cast<std::size_t>(overlayIndex)];
}
