#pragma once

#include "framework/TImageList.h"

#include <QImage>

#include <optional>
#include <vector>

// An image list of one cell size whose slots are handed out to the glyph
// painters of several buttons. A freed slot keeps its image until it is
// reserved again, so the list never shifts the indexes other buttons hold.
class TGlyphList : public TImageList
{
public:
    TGlyphList(int width, int height);

    // Stores a picture in the lowest free slot and returns its index. Pixels of
    // the mask colour become transparent; without a mask colour the list takes
    // the picture's lower-left pixel as its transparent colour.
    int AddWithMask(const QImage& picture, std::optional<QRgb> maskColor);
    // Gives a slot back; freeing a free slot does nothing.
    void FreeSlot(int index);

    int UsedCount() const { return usedCount_; }
    bool IsSlotUsed(int index) const;

private:
    int ReserveSlot();

    std::vector<bool> usedSlots_;
    int usedCount_ = 0;
};
