#pragma once

// The navigator unit: the navigator itself, the item id list, special folder,
// path and name functions, the file name list, the selection history, the
// library's start and end, and the system image list.
#include "shell/navigator/DroppedFiles.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/ShellIDLists.h"
#include "shell/navigator/ShellNames.h"
#include "shell/navigator/ShellPaths.h"
#include "shell/navigator/StandardFolderLists.h"
#include "shell/navigator/TFileNames.h"
#include "shell/navigator/TPidlHistory.h"
#include "shell/navigator/TShellLibrary.h"
#include "shell/navigator/TShellNavigator.h"
