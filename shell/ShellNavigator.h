#pragma once

// The navigator unit: the navigator itself, the item id list, special folder,
// path and name functions, the file name list, the selection history, the
// library's start and end, and the system image list.
#include "shell/DroppedFiles.h"
#include "shell/EShellNavigatorError.h"
#include "shell/ShellIDLists.h"
#include "shell/ShellNames.h"
#include "shell/ShellPaths.h"
#include "shell/StandardFolderLists.h"
#include "shell/TFileNames.h"
#include "shell/TPidlHistory.h"
#include "shell/TShellLibrary.h"
#include "shell/TShellNavigator.h"
#include "shell/TPzSystemImageList.h"
