#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/core/ids/TItemIdList.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The item id list functions of the pane library. The byte-level ones
// (IDListSize, IDListCount, CloneIDList, ConcatIDLists, GetIDListItem,
// TruncateIDList) are the platform's own, declared in platform/core/ids/TItemIdList.h;
// this header adds what needs the namespace. Paths are the file names' own
// bytes.

// The file-system path of an absolute list ("" for null, for a failure and for
// objects without a path); a volume's path ends in "/".
std::string GetPathFromIDList(const TItemIdList* absolute);

// `path` parsed relative to `folder` (the desktop when null, which takes any
// absolute path). The empty path gives the computer folder. Null, with the
// error left as the last error, when the path does not parse.
TItemIdListPtr PathToIDList(IShellFolder* folder, const std::string& path);

// The byte count of the well-formed list at the start of `bytes[0, size)`
// (terminator included), or 0 when the bytes hold none: an item count below 2
// or one running past `size`, or no terminator. Lists from outside the process
// (the clipboard, a drop) pass here before any other function sees them.
std::size_t ValidIDListSize(const std::uint8_t* bytes, std::size_t size);
// A fresh copy of the well-formed list at the start of `bytes`, or null.
TItemIdListPtr IDListFromBuffer(const std::uint8_t* bytes, std::size_t size);
