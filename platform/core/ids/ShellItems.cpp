#include "platform/core/ids/ShellItems.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::size_t kCountSize = 2;
constexpr std::size_t kMaxItemSize = 0xFFFF;

// One item of `head` and then `tail`, assembled in place: a listing makes one
// for every entry.
TItemIdListPtr BuildItem(std::initializer_list<std::uint8_t> head, std::string_view tail)
{
    const std::size_t size = kCountSize + head.size() + tail.size();
    if (size > kMaxItemSize)
        return nullptr;
    // File names fit on the stack; longer items (trash entries) take the heap.
    constexpr std::size_t kStackBytes = 512;
    std::array<std::uint8_t, kStackBytes> stack;
    std::vector<std::uint8_t> heap;
    std::uint8_t* bytes = stack.data();
    if (size > kStackBytes) {
        heap.resize(size);
        bytes = heap.data();
    }
    bytes[0] = static_cast<std::uint8_t>(size & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(size >> 8);
    std::copy(head.begin(), head.end(), bytes + kCountSize);
    if (!tail.empty())
        std::memcpy(bytes + kCountSize + head.size(), tail.data(), tail.size());
    return IDListFromBytes(bytes, size);
}

TItemIdListPtr BuildItem(const std::vector<std::uint8_t>& payload)
{
    return BuildItem({}, std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
}

void Append(std::vector<std::uint8_t>& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

std::string_view View(const std::uint8_t* begin, const std::uint8_t* end)
{
    return std::string_view(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
}

// Reads a 16-bit length and that many bytes.
[[nodiscard]] bool ReadCounted(const std::uint8_t*& p, const std::uint8_t* end, std::string_view& text)
{
    if (end - p < 2)
        return false;
    const std::size_t length = p[0] | (p[1] << 8);
    p += 2;
    if (static_cast<std::size_t>(end - p) < length)
        return false;
    text = View(p, p + length);
    p += length;
    return true;
}

void AppendCounted(std::vector<std::uint8_t>& out, std::string_view text)
{
    out.push_back(static_cast<std::uint8_t>(text.size() & 0xFF));
    out.push_back(static_cast<std::uint8_t>((text.size() >> 8) & 0xFF));
    Append(out, text);
}

}  // namespace

bool ReadItem(const TItemIdList* item, TItemView& view)
{
    const std::uint16_t size = IDListItemSize(item);
    if (size < kCountSize + 2)
        return false;
    const std::uint8_t* bytes = IDListBytes(item);
    const std::uint8_t* end = bytes + size;
    const std::uint8_t* p = bytes + kCountSize;
    view = TItemView{};
    view.kind = static_cast<TItemKind>(*p++);
    switch (view.kind) {
    case TItemKind::VirtualFolder:
        view.virtualFolder = static_cast<TVirtualFolder>(*p);
        view.flags = kItemIsFolder;
        return *p >= 1 && *p <= 4;
    case TItemKind::Volume:
        view.flags = static_cast<std::uint8_t>(*p++ | kItemIsFolder);
        view.name = View(p, end);
        return !view.name.empty();
    case TItemKind::FileSystem:
        if (end - p < 3)
            return false;
        view.flags = *p++;
        view.entryType = *p++;
        view.name = View(p, end);
        return true;
    case TItemKind::TrashEntry: {
        if (end - p < 1)
            return false;
        view.flags = *p++;
        if (!ReadCounted(p, end, view.trashPath) || !ReadCounted(p, end, view.trashTopDir) || p >= end)
            return false;
        view.name = View(p, end);
        return true;
    }
    }
    return false;
}

TItemIdListPtr MakeVirtualItem(TVirtualFolder folder)
{
    return BuildItem({static_cast<std::uint8_t>(TItemKind::VirtualFolder), static_cast<std::uint8_t>(folder)});
}

TItemIdListPtr MakeVolumeItem(std::string_view mountPoint, bool network)
{
    return BuildItem(
        {static_cast<std::uint8_t>(TItemKind::Volume), static_cast<std::uint8_t>(network ? kItemIsNetwork : 0)},
        mountPoint);
}

TItemIdListPtr MakeFileSystemItem(std::string_view name, std::uint8_t flags, std::uint8_t entryType)
{
    return BuildItem({static_cast<std::uint8_t>(TItemKind::FileSystem), flags, entryType}, name);
}

TItemIdListPtr MakeTrashItem(std::string_view trashPath, std::string_view trashTopDir, std::string_view nameInTrash,
                             bool isFolder)
{
    std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(TItemKind::TrashEntry),
                                      static_cast<std::uint8_t>(isFolder ? kItemIsFolder : 0)};
    AppendCounted(payload, trashPath);
    AppendCounted(payload, trashTopDir);
    Append(payload, nameInTrash);
    return BuildItem(payload);
}

const char* ItemKindName(TItemKind kind)
{
    switch (kind) {
    case TItemKind::VirtualFolder: return "virtual";
    case TItemKind::Volume: return "volume";
    case TItemKind::FileSystem: return "fs";
    case TItemKind::TrashEntry: return "trash";
    }
    return "?";
}

std::string JoinPath(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}
