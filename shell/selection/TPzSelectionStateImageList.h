#pragma once

#include "framework/TImageList.h"

// The five check-box pictures the panes show as state images, indexed by
// TPzSelectionState: none (an empty box, never shown), unavailable (an
// inactive empty box), checked, unchecked and partly checked (an inactive
// checked box). Drawn by the application's style, on a transparent ground.
class TPzSelectionStateImageList : public TImageList
{
public:
    TPzSelectionStateImageList();
};
