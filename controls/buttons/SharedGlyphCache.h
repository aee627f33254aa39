#pragma once

class TGlyphCache;

// The one glyph cache of the process, used on the UI thread only. It is made
// by the first glyph painter (or the first that needs it after it was freed)
// and freed when a glyph painter goes and the cache holds no list.

// The cache, made if missing.
TGlyphCache& SharedGlyphCache();
// Frees the cache when it holds no list.
void FreeSharedGlyphCacheIfEmpty();
// Whether the cache exists at the moment.
bool SharedGlyphCacheExists();
