#include "platform/core/ids/TItemIdList.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kTerminatorSize = 2;

// A count below the size of the count field cannot start an item: such a
// malformed count ends the list like the terminator, so that no walk steps
// backwards or into the middle of a count.
std::uint16_t ReadCount(const std::uint8_t* bytes)
{
    const auto count = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    return count < kTerminatorSize ? 0 : count;
}

TItemIdListPtr AllocateList(std::size_t size)
{
    void* memory = ShellAlloc(size);
    std::memset(memory, 0, size);
    return TItemIdListPtr(static_cast<TItemIdList*>(memory));
}

// Bytes of the first n items (all items when n exceeds the count).
std::size_t PrefixBytes(const TItemIdList* list, std::size_t n)
{
    const std::uint8_t* start = IDListBytes(list);
    const std::uint8_t* p = start;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t count = ReadCount(p);
        if (count == 0)
            break;
        p += count;
    }
    return static_cast<std::size_t>(p - start);
}

}  // namespace

void* ShellAlloc(std::size_t size)
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void ShellFree(void* memory)
{
    std::free(memory);
}

std::size_t IDListSize(const TItemIdList* list)
{
    if (!list)
        return 0;
    return PrefixBytes(list, SIZE_MAX) + kTerminatorSize;
}

std::size_t IDListCount(const TItemIdList* list)
{
    if (!list)
        return 0;
    std::size_t count = 0;
    for (const TItemIdList* item = list; IDListItemSize(item) != 0; item = NextIDListItem(item))
        ++count;
    return count;
}

TItemIdListPtr CloneIDList(const TItemIdList* list)
{
    if (!list)
        return nullptr;
    const std::size_t size = IDListSize(list);
    TItemIdListPtr copy = AllocateList(size);
    std::memcpy(copy.get(), list, size - kTerminatorSize);
    return copy;
}

TItemIdListPtr ConcatIDLists(const TItemIdList* a, const TItemIdList* b)
{
    if (!a)
        return CloneIDList(b);
    if (!b)
        return CloneIDList(a);
    const std::size_t sizeA = IDListSize(a) - kTerminatorSize;
    const std::size_t sizeB = IDListSize(b) - kTerminatorSize;
    TItemIdListPtr result = AllocateList(sizeA + sizeB + kTerminatorSize);
    auto* out = reinterpret_cast<std::uint8_t*>(result.get());
    std::memcpy(out, a, sizeA);
    std::memcpy(out + sizeA, b, sizeB);
    return result;
}

TItemIdListPtr GetIDListItem(const TItemIdList* list, std::size_t n)
{
    if (!list)
        return nullptr;
    const TItemIdList* item = list;
    for (std::size_t i = 0; i < n && IDListItemSize(item) != 0; ++i)
        item = NextIDListItem(item);
    const std::uint16_t size = IDListItemSize(item);
    if (size == 0)
        return nullptr;
    return IDListFromBytes(IDListBytes(item), size);
}

TItemIdListPtr TruncateIDList(const TItemIdList* list, std::size_t n)
{
    if (!list)
        return nullptr;
    return IDListFromBytes(IDListBytes(list), PrefixBytes(list, n));
}

bool IsDesktopIDList(const TItemIdList* list)
{
    return list && IDListItemSize(list) == 0;
}

bool IDListsEqual(const TItemIdList* a, const TItemIdList* b)
{
    if (!a || !b)
        return a == b;
    const std::size_t size = IDListSize(a);
    return size == IDListSize(b) && std::memcmp(a, b, size - kTerminatorSize) == 0;
}

const TItemIdList* NextIDListItem(const TItemIdList* item)
{
    if (!item)
        return nullptr;
    return AsIDList(IDListBytes(item) + IDListItemSize(item));
}

const TItemIdList* LastIDListItem(const TItemIdList* list)
{
    if (!list)
        return nullptr;
    const TItemIdList* last = list;
    for (const TItemIdList* item = list; IDListItemSize(item) != 0; item = NextIDListItem(item))
        last = item;
    return last;
}

std::uint16_t IDListItemSize(const TItemIdList* item)
{
    return item ? ReadCount(IDListBytes(item)) : 0;
}

TItemIdListPtr IDListFromBytes(const std::uint8_t* bytes, std::size_t size)
{
    TItemIdListPtr result = AllocateList(size + kTerminatorSize);
    if (size != 0)
        std::memcpy(result.get(), bytes, size);
    return result;
}

TItemIdListPtr MakeDesktopIDList()
{
    return AllocateList(kTerminatorSize);
}
