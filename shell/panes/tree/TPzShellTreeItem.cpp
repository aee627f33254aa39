#include "shell/panes/tree/TPzShellTreeItem.h"

TPzShellTreeItem::TPzShellTreeItem(TItemIdListPtr relative, TItemIdListPtr absolute, IShellFolderPtr parentFolder,
                                   bool isFolder)
    : TEntry(std::move(relative))
    , absolute_(std::move(absolute))
    , parentFolder_(std::move(parentFolder))
    , isFolder_(isFolder)
{
}

const TItemIdList* TPzShellTreeItem::Relative() const
{
    return Item() ? Item() : absolute_.get();
}

void TPzShellTreeItem::Reset(TItemIdListPtr relative, TItemIdListPtr absolute)
{
    SetItem(std::move(relative));
    absolute_ = std::move(absolute);
}
