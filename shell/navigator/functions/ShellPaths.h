#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <cstdint>
#include <string>

// Path functions of the pane library. Paths are native bytes. The drive part
// of a path is the mount point of the volume holding it ("/" for most paths,
// "/media/usb" for a path on a mounted stick), or "//server/share" for a path
// written as a share; relative paths have none.

std::string DrivePart(const std::string& path);
// The path is a volume's mount point or a share, with or without a trailing "/".
bool IsDriveOrShareRoot(const std::string& path);
// "//server/share...": longer than 3 characters, starting with "//" and with a
// further "/" after the server's first character.
bool IsUNCPath(const std::string& path);
// The server of a share path ("server" for "//server/share"); "" otherwise.
std::string GetServerName(const std::string& path);
// Whether the list's first item is the network folder.
bool IsNetworkIDList(const TItemIdList* absolute);

// The target of a shortcut (a symbolic link here) as an absolute path; "" when
// `path` is no link.
std::string ResolveShortcut(const std::string& path);
// Whether something exists at the path (a broken link counts); volume roots
// count when they can be listed.
bool PathExists(const std::string& path);
// The size of a file in bytes, 0 for a folder, -1 when nothing is there.
std::int64_t GetFileSize64(const std::string& path);
// The bytes free to the user on the volume holding the path; -1 when unknown.
std::int64_t GetDiskFreeSpace(const std::string& path);
