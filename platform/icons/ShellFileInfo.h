#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <cstdint>
#include <string>

// What SHGetFileInfo tells about an object of the namespace.
constexpr std::uint32_t SHGFI_LARGEICON = 0x000000000;
constexpr std::uint32_t SHGFI_SMALLICON = 0x000000001;
constexpr std::uint32_t SHGFI_OPENICON = 0x000000002;
constexpr std::uint32_t SHGFI_SHELLICONSIZE = 0x000000004;
constexpr std::uint32_t SHGFI_PIDL = 0x000000008;
constexpr std::uint32_t SHGFI_USEFILEATTRIBUTES = 0x000000010;
constexpr std::uint32_t SHGFI_ADDOVERLAYS = 0x000000020;
constexpr std::uint32_t SHGFI_OVERLAYINDEX = 0x000000040;
constexpr std::uint32_t SHGFI_ICON = 0x000000100;
constexpr std::uint32_t SHGFI_DISPLAYNAME = 0x000000200;
constexpr std::uint32_t SHGFI_TYPENAME = 0x000000400;
constexpr std::uint32_t SHGFI_ATTRIBUTES = 0x000000800;
constexpr std::uint32_t SHGFI_SYSICONINDEX = 0x000004000;
constexpr std::uint32_t SHGFI_LINKOVERLAY = 0x000008000;

// File attributes for SHGFI_USEFILEATTRIBUTES.
constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x00000080;

struct TShFileInfo
{
    bool succeeded = false;
    // SHGFI_SYSICONINDEX / SHGFI_ICON: index in the system image lists
    // (TSystemImageList; both sizes share indexes), -1 when unknown.
    int iIcon = -1;
    // Always filled on success: kLinkOverlayIndex for symbolic links,
    // kShareOverlayIndex for shared folders, -1 for none.
    int iOverlay = -1;
    // SHGFI_ATTRIBUTES: the SFGAO_ bits of the object.
    std::uint32_t dwAttributes = 0;
    // SHGFI_DISPLAYNAME: bytes as IShellFolder gives them (UTF-8, or a file's native name).
    std::string szDisplayName;
    // SHGFI_TYPENAME: "Dateiordner", the MIME type's German comment, ...
    std::string szTypeName;
};

// The first call sets up the icon theme (TSystemIconTable::Process()): make
// it on the UI thread; later calls may come from any thread.
//
// About an absolute item id list (SHGFI_PIDL is implied). Icons come from
// the desktop's icon theme by MIME type and place (platform/icons/IconChoice.h);
// asking needs no disk access except for symbolic links of files (to tell a
// broken one) and for the trash (empty or full).
TShFileInfo SHGetFileInfo(const TItemIdList* absolute, std::uint32_t fileAttributes, std::uint32_t flags);

// About a path: parsed into a list, or with SHGFI_USEFILEATTRIBUTES taken as
// a folder (FILE_ATTRIBUTE_DIRECTORY) or a file of that name without looking
// at the disk, so that the path need not exist.
TShFileInfo SHGetFileInfo(const std::string& path, std::uint32_t fileAttributes, std::uint32_t flags);
