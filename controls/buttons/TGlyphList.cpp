#include "controls/buttons/TGlyphList.h"

#include <QPixmap>

#include <algorithm>

namespace {

QImage WithTransparentKey(const QImage& picture, QRgb key)
{
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        std::replace(line, line + result.width(), key, QRgb(0));
    }
    return result;
}

}  // namespace

TGlyphList::TGlyphList(int width, int height)
    : TImageList(width, height)
{
}

int TGlyphList::ReserveSlot()
{
    const auto freeSlot = std::find(usedSlots_.begin(), usedSlots_.end(), false);
    const int index = int(freeSlot - usedSlots_.begin());
    if (index >= Count()) {
        QPixmap empty(ImageSize());
        empty.fill(Qt::transparent);
        Add(empty);
    }
    if (index >= int(usedSlots_.size()))
        usedSlots_.resize(index + 1, false);
    usedSlots_[index] = true;
    return index;
}

int TGlyphList::AddWithMask(const QImage& picture, std::optional<QRgb> maskColor)
{
    const int index = ReserveSlot();
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QRgb key = 0;
    if (maskColor)
        key = *maskColor;
    else if (!argb.isNull())
        key = argb.pixel(0, argb.height() - 1);
    Replace(index, QPixmap::fromImage(WithTransparentKey(argb, key)));
    ++usedCount_;
    return index;
}

void TGlyphList::FreeSlot(int index)
{
    if (!IsSlotUsed(index))
        return;
    usedSlots_[index] = false;
    --usedCount_;
}

bool TGlyphList::IsSlotUsed(int index) const
{
    return index >= 0 && index < int(usedSlots_.size()) && usedSlots_[index];
}
