#pragma once

#include "platform/IShellFolder.h"
#include "platform/TItemIdList.h"

#include <functional>
#include <string>

// The namespace: desktop (the empty list) holding home, computer, network, trash
// and the entries of the desktop directory; computer holding the volumes; network
// the mounted network file systems; trash the user's trashed entries.

// The desktop folder, the root of the namespace.
IShellFolderPtr SHGetDesktopFolder();
// Binds any absolute list to its folder; null (and the last error) on failure.
IShellFolderPtr SHBindToFolder(const TItemIdList* absolute);
// The absolute list of a special folder (an SF_ value of platform/SpecialFolders.h);
// null when it has no location here.
TItemIdListPtr SHGetSpecialFolderLocation(int specialFolder);
// The file-system path of an absolute list as native bytes; a volume's path ends
// in "/"; "" for null and for objects without a path.
std::string SHGetPathFromIDList(const TItemIdList* absolute);
// Parses an absolute path into an absolute list, from its longest volume prefix:
// "/home/u/a.txt" is computer, "/", home, u, a.txt. Null and the last error
// (ENOENT for a missing object) on failure.
TItemIdListPtr SHParseDisplayName(const std::string& path);
// Called with the directory's path whenever a directory with a path is enumerated.
void SetFolderEnumeratedHook(std::function<void(const std::string& dirPath)> hook);
