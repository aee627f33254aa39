#pragma once

#include "platform/namespace/StandardFolders.h"
#include "platform/core/ids/TItemIdList.h"

#include <string>

// Special folders as item id lists and paths. SF_FILESYSTEMFOLDER stands for
// the computer folder here, as the panes expect of it.

// A fresh list of the special folder; null where it has no location.
TItemIdListPtr GetSpecialFolderIDList(TPzShellFolder value);
// Its file-system path ("" for virtual folders such as SF_DRIVES and for
// folders without a location).
std::string GetSpecialFolderPath(TPzShellFolder value);
// Which special folder an absolute list is: the first of SF_BITBUCKET ...
// SF_COMMON_PROGRAMS (in value order) equal to it, SF_FILESYSTEMFOLDER for none.
TPzShellFolder FindSpecialFolder(const TItemIdList* absolute);
// Whether an absolute list is the given special folder.
bool IsSpecialFolderIDList(const TItemIdList* absolute, TPzShellFolder value);
