#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <string>

struct TMountEntry;

// Item id lists for the objects change notifications talk about, which may
// no longer exist: a deleted file, the old name of a renamed one, a volume
// that was unmounted.

// The absolute list of `path`; the part of the path that no longer exists is
// appended as plain file-system items (folders where isFolder says so, and
// every component above the last). Null for a relative or empty path.
TItemIdListPtr ChangedPathIDList(const std::string& path, bool isFolder);

// The list of `path` below the registered folder `folderList` whose path is
// `folderPath`: the folder's own list with one file-system item per
// component, so that a pane finds the items as its folder enumerates them.
// Components that no longer exist are made as ChangedPathIDList makes them.
// Null when `path` does not lie at or below `folderPath`.
TItemIdListPtr FolderRelativeIDList(const TItemIdList* folderList, const std::string& folderPath,
                                    const std::string& path, bool isFolder);

// The absolute list of a volume: computer, volume for the user-visible ones,
// network, volume for the other mounted network file systems.
TItemIdListPtr VolumeIDList(const TMountEntry& volume);
