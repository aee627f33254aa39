#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/core/ids/TItemIdList.h"

#include <functional>
#include <string>

// The namespace: desktop (the empty list) holding home, computer, network, trash
// and the entries of the desktop directory; computer holding the volumes; network
// the mounted network file systems; trash the user's trashed entries.
//
// Choices worth knowing:
// - Paths: the desktop's is the XDG desktop directory (none when it does not
//   exist), home's is $HOME, a volume's its mount point; computer, network and
//   trash have none. Their parsing names are "::computer", "::network" and
//   "::trash", which the desktop parses back; home parses as its path.
// - Trash entries are listed, not opened: they are no folders, their normal name
//   is the original name, their in-folder parsing name the name in the trash,
//   their path the trashed file.
// - Find data exists for files, folders and trash entries, not for volumes and
//   virtual folders (their names come from their paths or display names).
// - Renaming never replaces an existing entry (EEXIST).
// - Display names and details texts are bytes: see platform/namespace/IShellFolder.h.

// The desktop folder, the root of the namespace.
IShellFolderPtr SHGetDesktopFolder();
// Binds any absolute list to its folder; null (and the last error) on failure.
IShellFolderPtr SHBindToFolder(const TItemIdList* absolute);
// The absolute list of a special folder (an SF_ value of platform/namespace/StandardFolders.h);
// null (and ENOENT as the last error) when it has no location here.
TItemIdListPtr SHGetSpecialFolderLocation(int specialFolder);
// The file-system path of an absolute list as native bytes; a volume's path ends
// in "/"; "" for null and for objects without a path.
std::string SHGetPathFromIDList(const TItemIdList* absolute);
// Parses an absolute path into an absolute list, from its longest volume prefix:
// "/home/u/a.txt" is computer, "/", home, u, a.txt; below a network mount that
// only the network folder lists, the list starts network, mount. "." and ".."
// are resolved by name; "//server/share/..." parses through the mount of that
// share. Every component must exist. Null and the last error (ENOENT for a missing object)
// on failure.
TItemIdListPtr SHParseDisplayName(const std::string& path);
// Called with the directory's path whenever a directory with a path is enumerated.
void SetFolderEnumeratedHook(std::function<void(const std::string& dirPath)> hook);
// Called from whatever thread renames an item through a folder (SetNameOf),
// with the old and the new path and whether the item is a folder. Change
// notification, which sits above the namespace, installs it to tell the panes.
void SetItemRenamedHook(std::function<void(const std::string& from, const std::string& to, bool folder)> hook);
// The folders' side of the two hooks: tell whoever is installed.
void NotifyFolderEnumerated(const std::string& directoryPath);
void NotifyItemRenamed(const std::string& from, const std::string& to, bool folder);
