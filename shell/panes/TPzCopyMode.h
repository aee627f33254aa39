#pragma once

#include "platform/exchange/IDropTarget.h"

#include <cstdint>

// Which drop effects a pane offers when items are dragged out of it or
// dropped onto it.
enum TPzCopyMode : std::uint8_t { cmDefault, cmCopy, cmMove, cmLink };

// The drop effects of a mode: copy, move and link for cmDefault.
constexpr TDropEffects DropEffectsOf(TPzCopyMode mode)
{
    switch (mode) {
    case cmCopy: return DROPEFFECT_COPY;
    case cmMove: return DROPEFFECT_MOVE;
    case cmLink: return DROPEFFECT_LINK;
    case cmDefault: break;
    }
    return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
}
