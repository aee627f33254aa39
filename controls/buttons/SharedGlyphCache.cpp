#include "controls/buttons/SharedGlyphCache.h"

#include "controls/buttons/TGlyphCache.h"

#include <memory>

namespace {

std::unique_ptr<TGlyphCache>& Cache()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

}  // namespace

TGlyphCache& SharedGlyphCache()
{
    if (!Cache())
        Cache() = std::make_unique<TGlyphCache>();
    return *Cache();
}

void FreeSharedGlyphCacheIfEmpty()
{
    if (Cache() && Cache()->Empty())
        Cache().reset();
}

bool SharedGlyphCacheExists()
{
    return Cache() != nullptr;
}
