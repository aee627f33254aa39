#pragma once

#include <cstdint>

// Which drop effects a pane offers when items are dragged out of it or
// dropped onto it.
enum TPzCopyMode : std::uint8_t { cmDefault, cmCopy, cmMove, cmLink };

// The drop effect bits of a mode: copy, move and link for cmDefault.
constexpr std::uint32_t DropEffectsOf(TPzCopyMode mode)
{
    switch (mode) {
    case cmCopy: return 1;
    case cmMove: return 2;
    case cmLink: return 4;
    case cmDefault: break;
    }
    return 7;
}
