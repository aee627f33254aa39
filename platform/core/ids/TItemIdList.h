#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// An item id list names an object of the shell namespace: a sequence of items,
// each starting with a 16-bit little-endian byte count that includes the count
// field, ended by a 16-bit zero. The empty list (only the terminator) is the
// desktop. Absolute lists start at the desktop, relative ones at a parent folder.
// Inside an item, the byte after the count names the item's kind (see
// platform/core/ids/ShellItems.h); file names are stored as their raw bytes.
//
// The type is opaque: a list is only ever handled through pointers to its bytes.
struct TItemIdList;

// The shell allocator: every list handed out by this layer is allocated here and
// freed with ShellFree.
void* ShellAlloc(std::size_t size);
void ShellFree(void* memory);

struct TShellFreeDeleter
{
    void operator()(TItemIdList* list) const { ShellFree(list); }
};

using TItemIdListPtr = std::unique_ptr<TItemIdList, TShellFreeDeleter>;

// All functions accept a null list.

// Total bytes including the 2-byte terminator; 0 for null.
std::size_t IDListSize(const TItemIdList* list);
// Number of items; 0 for null or the desktop.
std::size_t IDListCount(const TItemIdList* list);
// A fresh copy; null for null.
TItemIdListPtr CloneIDList(const TItemIdList* list);
// a's items followed by b's items and one terminator.
TItemIdListPtr ConcatIDLists(const TItemIdList* a, const TItemIdList* b);
// The item at 0-based index n as a one-item list; null when there is none.
TItemIdListPtr GetIDListItem(const TItemIdList* list, std::size_t n);
// A copy cut after the first n items (n = count - 1 gives the parent).
TItemIdListPtr TruncateIDList(const TItemIdList* list, std::size_t n);
// True for the empty list (not for null).
bool IsDesktopIDList(const TItemIdList* list);
// Exact byte equality of two lists (both null counts as equal).
bool IDListsEqual(const TItemIdList* a, const TItemIdList* b);

// Walking a list without copying: the first item, the item after `item`
// (pointing at the terminator after the last one), and the last item (the
// terminator for the desktop). Null for null.
const TItemIdList* NextIDListItem(const TItemIdList* item);
const TItemIdList* LastIDListItem(const TItemIdList* list);
// Byte count of the item `item` points at (0 at the terminator).
std::uint16_t IDListItemSize(const TItemIdList* item);

// Raw access for code that builds or reads items.
inline const std::uint8_t* IDListBytes(const TItemIdList* list)
{
    return reinterpret_cast<const std::uint8_t*>(list);
}
inline const TItemIdList* AsIDList(const std::uint8_t* bytes)
{
    return reinterpret_cast<const TItemIdList*>(bytes);
}
// A list made of a copy of `size` bytes followed by a terminator.
TItemIdListPtr IDListFromBytes(const std::uint8_t* bytes, std::size_t size);
// The empty list (the desktop) as a fresh allocation.
TItemIdListPtr MakeDesktopIDList();
