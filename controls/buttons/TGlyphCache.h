#pragma once

#include "controls/buttons/TGlyphList.h"

#include <memory>
#include <vector>

// The glyph lists of all buttons, one per cell size, so that buttons with
// equally sized glyphs share one image list.
class TGlyphCache
{
public:
    // The list for cells of this size, made if there is none yet.
    TGlyphList* AcquireList(int width, int height);
    // Frees the list when no slot of it is in use any more.
    void ReleaseList(TGlyphList* list);

    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};
