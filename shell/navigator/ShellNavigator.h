#pragma once

// The navigator unit: the navigator itself, the item id list, special folder,
// path and name functions, the file name list, the selection history, the
// library's start and end, and the system image list.
#include "shell/navigator/functions/DroppedFiles.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellNames.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TFileNames.h"
#include "shell/navigator/TPidlHistory.h"
#include "shell/navigator/library/TShellLibrary.h"
#include "shell/navigator/TShellNavigator.h"
