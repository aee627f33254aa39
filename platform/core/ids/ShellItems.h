#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <cstdint>
#include <string>
#include <string_view>

// The items of the namespace. Every item is self-describing, so that any folder
// can be bound from an absolute list alone:
//   [u16 count][u8 kind][payload]
//   virtual folder: [u8 id]
//   volume:         [u8 flags][mount point bytes]
//   file system:    [u8 flags][u8 directory-entry type][name bytes]
//   trash entry:    [u8 flags][u16 length][trash directory][u16 length][its top directory][name in trash]
// Only what cannot change while the item lives is stored (plus whether it was a
// folder when seen, so that listing and sorting need no stat per entry).
enum class TItemKind : std::uint8_t {
    VirtualFolder = 0x01,
    Volume = 0x02,
    FileSystem = 0x03,
    TrashEntry = 0x04,
};

// Virtual folders in the order the desktop lists them.
enum class TVirtualFolder : std::uint8_t {
    Home = 1,
    Computer = 2,
    Network = 3,
    Trash = 4,
};

constexpr std::uint8_t kItemIsFolder = 0x01;   // a directory or a link to one
constexpr std::uint8_t kItemIsSymlink = 0x02;  // a symbolic link
constexpr std::uint8_t kItemIsNetwork = 0x04;  // a volume of a network file system

// A decoded view of one item; the string views point into the item.
struct TItemView
{
    TItemKind kind = TItemKind::FileSystem;
    std::uint8_t flags = 0;
    TVirtualFolder virtualFolder = TVirtualFolder::Home;
    std::uint8_t entryType = 0;    // DT_* of the directory entry
    std::string_view name;         // file name, name in trash, or mount point of a volume
    std::string_view trashPath;    // trash entries: the trash directory (holding files/ and info/)
    std::string_view trashTopDir;  // trash entries: the top directory relative original paths start from

    bool IsFolder() const { return (flags & kItemIsFolder) != 0; }
    bool IsSymlink() const { return (flags & kItemIsSymlink) != 0; }
};

// Decodes the first item of `item`; false for the terminator or a malformed item.
[[nodiscard]] bool ReadItem(const TItemIdList* item, TItemView& view);

TItemIdListPtr MakeVirtualItem(TVirtualFolder folder);
TItemIdListPtr MakeVolumeItem(std::string_view mountPoint, bool network);
TItemIdListPtr MakeFileSystemItem(std::string_view name, std::uint8_t flags, std::uint8_t entryType);
TItemIdListPtr MakeTrashItem(std::string_view trashPath, std::string_view trashTopDir, std::string_view nameInTrash,
                             bool isFolder);

// A short name of an item's kind ("virtual", "volume", "fs", "trash").
const char* ItemKindName(TItemKind kind);

// "a" + "/" + "b", without doubling the slash after "/".
std::string JoinPath(std::string_view directory, std::string_view name);
