#pragma once

// The bitmap buttons: the button, its glyph painter and shared glyph lists,
// the kind glyphs, the layout arithmetic and the theme library.
#include "controls/ButtonKinds.h"
#include "controls/ButtonLayout.h"
#include "controls/ButtonTypes.h"
#include "controls/KindGlyphs.h"
#include "controls/SharedGlyphCache.h"
#include "controls/TBitBtnXP.h"
#include "controls/TButtonGlyph.h"
#include "controls/TGlyphCache.h"
#include "controls/TGlyphList.h"
#include "controls/ThemeApi.h"
