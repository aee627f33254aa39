#include "platform/namespace/items/ItemOrder.h"

#include "platform/namespace/items/FolderDetails.h"
#include "platform/core/text/NaturalCompare.h"

#include <span>

namespace {

// Ranks of the groups column 0 sorts by.
enum TItemRank {
    kRankVirtual,
    kRankVolume,
    kRankFolder,
    kRankFile,
};

int Rank(const TItemView& view)
{
    switch (view.kind) {
    case TItemKind::VirtualFolder: return kRankVirtual;
    case TItemKind::Volume: return kRankVolume;
    default: return view.IsFolder() ? kRankFolder : kRankFile;
    }
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

int CompareByValue(const TItemContext& context, TColumnValue value, const TItemView& a, const TItemView& b)
{
    const TColumnData first = ItemColumnData(context, a, value);
    const TColumnData second = ItemColumnData(context, b, value);
    if (first.number || second.number) {
        if (!first.number || !second.number)
            return first.number ? 1 : -1;
        return (*first.number > *second.number) - (*first.number < *second.number);
    }
    return Sign(NaturalCompare(first.text, second.text));
}

}  // namespace

int CompareItemsByName(const TItemView& a, const TItemView& b)
{
    const int rankA = Rank(a);
    const int rankB = Rank(b);
    if (rankA != rankB)
        return rankA < rankB ? -1 : 1;
    switch (a.kind) {
    case TItemKind::VirtualFolder: return Sign(static_cast<int>(a.virtualFolder) - static_cast<int>(b.virtualFolder));
    case TItemKind::Volume: return Sign(a.name.compare(b.name));
    default: break;
    }
    if (const int order = NaturalCompare(a.name, b.name))
        return Sign(order);
    // The same name in two trash directories, or a trash entry beside a file.
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (const int order = a.trashPath.compare(b.trashPath))
        return Sign(order);
    return 0;
}

std::string NameOrderKey(const TItemIdList* item)
{
    // The end of a list orders first, a malformed item after every item,
    // malformed ones among themselves by their size.
    const std::size_t size = IDListItemSize(item);
    if (size == 0)
        return {};
    std::string key;
    TItemView view;
    if (!ReadItem(item, view)) {
        key.push_back('\x02');
        for (int shift = 24; shift >= 0; shift -= 8)
            key.push_back(char((size >> shift) & 0xFF));
        return key;
    }
    key.push_back('\x01');
    key.push_back(char(Rank(view)));
    switch (view.kind) {
    case TItemKind::VirtualFolder: key.push_back(char(view.virtualFolder)); return key;
    case TItemKind::Volume: key.append(view.name); return key;
    default: break;
    }
    // Names hold no zero byte: the one after the name ends it before the
    // tie-breaks that follow.
    AppendNaturalKey(view.name, key);
    key.append(view.name);
    key.push_back('\0');
    key.push_back(char(view.kind));
    key.append(view.trashPath);
    return key;
}

int CompareItemLists(const TItemContext& context, int column, const TItemIdList* a, const TItemIdList* b)
{
    const bool endA = IDListItemSize(a) == 0;
    const bool endB = IDListItemSize(b) == 0;
    if (endA || endB)
        return endA == endB ? 0 : (endA ? -1 : 1);
    TItemView viewA;
    TItemView viewB;
    const bool validA = ReadItem(a, viewA);
    const bool validB = ReadItem(b, viewB);
    if (!validA || !validB)
        return validA == validB ? Sign(static_cast<int>(IDListItemSize(a)) - static_cast<int>(IDListItemSize(b)))
                                : (validA ? -1 : 1);

    const TItemIdList* nextA = NextIDListItem(a);
    const TItemIdList* nextB = NextIDListItem(b);
    const bool lastLevel = IDListItemSize(nextA) == 0 && IDListItemSize(nextB) == 0;
    const std::span<const TColumnSpec> columns = FolderColumns(context.folderKind);
    if (lastLevel && column > 0 && column < static_cast<int>(columns.size())) {
        if (const int order = CompareByValue(context, columns[column].value, viewA, viewB))
            return order;
    }
    if (const int order = CompareItemsByName(viewA, viewB))
        return order;
    if (lastLevel)
        return 0;

    // The same item on this level: go on in the folder it opens.
    const std::string childPath = ItemPath(context, viewA);
    const TItemContext child{ChildFolderKind(viewA), childPath};
    return CompareItemLists(child, column, nextA, nextB);
}
