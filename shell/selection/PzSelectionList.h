#pragma once

// The panes' shared tick selection, its folder measurements and pictures.
#include "shell/selection/TPzFolderSizeThread.h"
#include "shell/selection/TPzSelectionList.h"
#include "shell/selection/TPzSelectionStateImageList.h"
