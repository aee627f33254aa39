#pragma once

#include "framework/listview/TListItem.h"
#include "platform/core/ids/TItemIdList.h"

#include <QString>

// What a file list keeps for each of its entries.
class TPzShellListItem final : public TListItemData
{
public:
    // The item relative to the shown folder; null for the parent entry.
    TItemIdListPtr ItemId;
    bool IsParentEntry = false;
    bool IsCompressed = false;
    bool IsEncrypted = false;
    // Its details are being worked out in the background.
    bool DetailsPending = false;
    // The item's full path, filled on first request; cleared on rename.
    QString PathCache;
};

// The data of a list entry; null for an entry without it.
inline TPzShellListItem* ShellItemOf(const TListItem* item)
{
    return item ? static_cast<TPzShellListItem*>(item->Data()) : nullptr;
}
