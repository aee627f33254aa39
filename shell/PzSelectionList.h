#pragma once

// The panes' shared tick selection, its folder measurements and pictures.
#include "shell/TPzFolderSizeThread.h"
#include "shell/TPzSelectionList.h"
#include "shell/TPzSelectionStateImageList.h"
