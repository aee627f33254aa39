#include "platform/exchange/ShellIDListArray.h"

#include <cstdint>

namespace {

void AppendU32(QByteArray& block, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        block.append(static_cast<char>((value >> shift) & 0xFF));
}

void PutU32(QByteArray& block, std::size_t at, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        block[static_cast<qsizetype>(at++)] = static_cast<char>((value >> shift) & 0xFF);
}

[[nodiscard]] bool ReadU32(const QByteArray& block, std::size_t at, std::uint32_t& value)
{
    if (at + 4 > static_cast<std::size_t>(block.size()))
        return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.constData()) + at;
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
    return true;
}

// The list at `offset`, checked item by item to end inside the block.
TItemIdListPtr ReadList(const QByteArray& block, std::uint32_t offset)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.constData());
    const std::size_t size = static_cast<std::size_t>(block.size());
    std::size_t at = offset;
    while (at + 2 <= size) {
        const std::size_t count = bytes[at] | (bytes[at + 1] << 8);
        if (count == 0)
            return IDListFromBytes(bytes + offset, at - offset);
        if (count < 2 || at + count > size)
            return nullptr;
        at += count;
    }
    return nullptr;
}

}  // namespace

QByteArray EncodeShellIDListArray(const TItemIdList* parent, std::span<const TItemIdList* const> children)
{
    QByteArray block;
    AppendU32(block, static_cast<std::uint32_t>(children.size()));
    const std::size_t offsetsAt = static_cast<std::size_t>(block.size());
    for (std::size_t i = 0; i <= children.size(); ++i)
        AppendU32(block, 0);
    auto appendList = [&](std::size_t index, const TItemIdList* list) {
        PutU32(block, offsetsAt + 4 * index, static_cast<std::uint32_t>(block.size()));
        block.append(reinterpret_cast<const char*>(IDListBytes(list)), static_cast<qsizetype>(IDListSize(list)));
    };
    TItemIdListPtr desktop = MakeDesktopIDList();
    appendList(0, parent ? parent : desktop.get());
    for (std::size_t i = 0; i < children.size(); ++i)
        appendList(i + 1, children[i] ? children[i] : desktop.get());
    return block;
}

bool DecodeShellIDListArray(const QByteArray& block, TShellIDListArray& result)
{
    result = {};
    std::uint32_t count = 0;
    if (!ReadU32(block, 0, count) || count > static_cast<std::uint32_t>(block.size()) / 4)
        return false;
    std::vector<TItemIdListPtr> lists;
    for (std::uint32_t i = 0; i <= count; ++i) {
        std::uint32_t offset = 0;
        if (!ReadU32(block, 4 + 4 * std::size_t(i), offset))
            return false;
        TItemIdListPtr list = ReadList(block, offset);
        if (!list)
            return false;
        lists.push_back(std::move(list));
    }
    result.Parent = std::move(lists.front());
    lists.erase(lists.begin());
    result.Children = std::move(lists);
    return true;
}
