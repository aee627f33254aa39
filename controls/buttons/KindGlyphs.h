#pragma once

#include "controls/buttons/ButtonTypes.h"

#include <QImage>

// The glyph bitmaps of the predefined kinds, loaded from the program's
// resources on first use (on the UI thread) and kept for the rest of the run. A kind without a
// glyph, or whose resource is missing, gives a null image.
const QImage& KindGlyph(TBitBtnXPKind kind);
