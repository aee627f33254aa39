#pragma once

#include "framework/listview/TListItem.h"
#include "shell/panes/TPzFolderEntries.h"

#include <QString>

// What a file list keeps for each of its entries: the folder model's entry
// (its item relative to the shown folder, null for the parent entry) and the
// row that shows it.
class TPzShellListItem final : public TListItemData, public TPzFolderEntries::TEntry
{
public:
    using TEntry::TEntry;

    TListItem* Row = nullptr;
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
