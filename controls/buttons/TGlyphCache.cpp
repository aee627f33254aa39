#include "controls/buttons/TGlyphCache.h"

#include <algorithm>

TGlyphList* TGlyphCache::AcquireList(int width, int height)
{
    // Newest first: the list made last is the one most likely asked for again.
    for (auto list = lists_.rbegin(); list != lists_.rend(); ++list) {
        if ((*list)->Width() == width && (*list)->Height() == height)
            return list->get();
    }
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReleaseList(TGlyphList* list)
{
    if (list == nullptr || list->UsedCount() != 0)
        return;
    const auto owned =
        std::find_if(lists_.begin(), lists_.end(), [list](const auto& candidate) { return candidate.get() == list; });
    if (owned != lists_.end())
        lists_.erase(owned);
}
