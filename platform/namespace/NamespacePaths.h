#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What kind of folder a list names; which items it may hold follows from it.
enum class TFolderKind {
    Desktop,
    Home,
    Computer,
    Network,
    Trash,
    Volume,
    Directory,
};

// An absolute list walked from the desktop: the object it names.
struct TResolvedList
{
    TFolderKind kind = TFolderKind::Desktop;  // the folder it is (when isFolder)
    bool isFolder = true;
    std::string path;  // "" when it has none
};

// Walks an absolute list; false and errno (EINVAL for a malformed list, ENOTDIR
// for an item below a non-folder) on failure.
[[nodiscard]] bool ResolveIDList(const TItemIdList* absolute, TResolvedList& resolved);
// Walks a relative list on from the folder `resolved` names.
[[nodiscard]] bool ResolveRelative(const TItemIdList* relative, TResolvedList& resolved);

// Item bytes are collected without terminator and made a list at the end.
using TItemBytes = std::vector<std::uint8_t>;
void AppendItem(TItemBytes& bytes, const TItemIdList* item);
TItemIdListPtr ListFromItemBytes(const TItemBytes& bytes);

// The components of a path, with "." and empty components dropped and ".."
// taking one away. A ".." that would leave the start fails, except in an
// absolute path, where it stays at "/" as the kernel does.
[[nodiscard]] bool SplitPath(std::string_view path, std::vector<std::string_view>& components);

// Appends one file-system item per component of `relative` below the existing
// directory `directory`, checking each with lstat; errno on failure.
[[nodiscard]] bool ParsePathBelow(const std::string& directory, const std::vector<std::string_view>& components,
                                  TItemBytes& bytes);
// An absolute path as the absolute list computer, volume, components.
[[nodiscard]] bool ParseAbsolutePath(std::string_view path, TItemBytes& bytes);

// The directory-entry type (DT_*) and item flags of a file from its lstat status.
std::uint8_t EntryTypeOfMode(unsigned mode);
std::uint8_t ItemFlagsOf(const std::string& path, unsigned lstatMode);

struct TItemView;

// The folder an item is looked at from.
struct TItemContext
{
    TFolderKind folderKind;
    const std::string& folderPath;
};

// The path of an item of a folder ("" when it has none), and the folder kind an
// item opens as.
std::string ItemPath(const TItemContext& context, const TItemView& view);
TFolderKind ChildFolderKind(const TItemView& view);
