#pragma once

#include <cstdint>

// Attribute bits of namespace items (GetAttributesOf).
constexpr std::uint32_t SFGAO_CANCOPY = 0x00000001;
constexpr std::uint32_t SFGAO_CANMOVE = 0x00000002;
constexpr std::uint32_t SFGAO_CANLINK = 0x00000004;
constexpr std::uint32_t SFGAO_STORAGE = 0x00000008;
constexpr std::uint32_t SFGAO_CANRENAME = 0x00000010;
constexpr std::uint32_t SFGAO_CANDELETE = 0x00000020;
constexpr std::uint32_t SFGAO_HASPROPSHEET = 0x00000040;
constexpr std::uint32_t SFGAO_DROPTARGET = 0x00000100;
constexpr std::uint32_t SFGAO_ENCRYPTED = 0x00002000;
constexpr std::uint32_t SFGAO_ISSLOW = 0x00004000;
constexpr std::uint32_t SFGAO_GHOSTED = 0x00008000;
constexpr std::uint32_t SFGAO_LINK = 0x00010000;
constexpr std::uint32_t SFGAO_SHARE = 0x00020000;
constexpr std::uint32_t SFGAO_READONLY = 0x00040000;
constexpr std::uint32_t SFGAO_HIDDEN = 0x00080000;
constexpr std::uint32_t SFGAO_NONENUMERATED = 0x00100000;
constexpr std::uint32_t SFGAO_NEWCONTENT = 0x00200000;
constexpr std::uint32_t SFGAO_STREAM = 0x00400000;
constexpr std::uint32_t SFGAO_STORAGEANCESTOR = 0x00800000;
constexpr std::uint32_t SFGAO_VALIDATE = 0x01000000;
constexpr std::uint32_t SFGAO_REMOVABLE = 0x02000000;
constexpr std::uint32_t SFGAO_COMPRESSED = 0x04000000;
constexpr std::uint32_t SFGAO_BROWSABLE = 0x08000000;
constexpr std::uint32_t SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr std::uint32_t SFGAO_FOLDER = 0x20000000;
constexpr std::uint32_t SFGAO_FILESYSTEM = 0x40000000;
constexpr std::uint32_t SFGAO_HASSUBFOLDER = 0x80000000;

// Display name kinds (GetDisplayNameOf). SHGDN_NORMAL and SHGDN_INFOLDER combine
// with SHGDN_FOREDITING, SHGDN_FORADDRESSBAR and SHGDN_FORPARSING.
constexpr std::uint32_t SHGDN_NORMAL = 0x0000;
constexpr std::uint32_t SHGDN_INFOLDER = 0x0001;
constexpr std::uint32_t SHGDN_FOREDITING = 0x1000;
constexpr std::uint32_t SHGDN_FORADDRESSBAR = 0x4000;
constexpr std::uint32_t SHGDN_FORPARSING = 0x8000;

// What an enumeration returns (EnumObjects).
constexpr std::uint32_t SHCONTF_FOLDERS = 0x0020;
constexpr std::uint32_t SHCONTF_NONFOLDERS = 0x0040;
constexpr std::uint32_t SHCONTF_INCLUDEHIDDEN = 0x0080;

// Default states of details columns (GetDefaultColumnState).
constexpr std::uint32_t SHCOLSTATE_TYPE_STR = 0x0001;
constexpr std::uint32_t SHCOLSTATE_TYPE_INT = 0x0002;
constexpr std::uint32_t SHCOLSTATE_TYPE_DATE = 0x0003;
constexpr std::uint32_t SHCOLSTATE_ONBYDEFAULT = 0x0010;
constexpr std::uint32_t SHCOLSTATE_HIDDEN = 0x0100;

// Alignment of a details column.
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
