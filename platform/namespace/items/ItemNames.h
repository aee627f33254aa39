#pragma once

#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/core/system/TMountTable.h"
#include "platform/trash/TTrash.h"

#include <cstdint>
#include <optional>
#include <string>

// German names of the virtual folders and of the desktop.
std::string VirtualFolderName(TVirtualFolder folder);
extern const char* const kDesktopName;
// The parsing names of virtual folders without a path ("::computer", ...);
// the desktop parses them back.
std::string VirtualFolderToken(TVirtualFolder folder);
[[nodiscard]] bool VirtualFolderFromToken(std::string_view token, TVirtualFolder& folder);

// An item's display name (SHGDN_ flags) as bytes: UTF-8 for virtual folders and
// volumes, the native name bytes for files.
std::string ItemDisplayName(const TItemContext& context, const TItemView& view, std::uint32_t flags);

// The volume or network mount at `mountPoint` in the current mount table.
std::optional<TMountEntry> FindMountedVolume(std::string_view mountPoint);
// The display name of the volume mounted at `mountPoint`.
std::string VolumeDisplayName(std::string_view mountPoint);

// What the trash knows of a trash entry (original path, deletion time).
std::optional<TTrashInfo> ItemTrashInfo(const TItemView& view);

// The last name of a path ("a" for "/x/a" and "/x/a/").
std::string_view LastPathName(std::string_view path);
