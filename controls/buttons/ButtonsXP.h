#pragma once

// The bitmap buttons: the button, its glyph painter and shared glyph lists,
// the kind glyphs, the layout arithmetic and the theme library.
#include "controls/buttons/ButtonKinds.h"
#include "controls/buttons/ButtonLayout.h"
#include "controls/buttons/ButtonTypes.h"
#include "controls/buttons/KindGlyphs.h"
#include "controls/buttons/SharedGlyphCache.h"
#include "controls/buttons/TBitBtnXP.h"
#include "controls/buttons/TButtonGlyph.h"
#include "controls/buttons/TGlyphCache.h"
#include "controls/buttons/TGlyphList.h"
#include "controls/buttons/ThemeApi.h"
