#include "shell/panes/tree/TPzShellTreeItem.h"

TPzShellTreeItem::TPzShellTreeItem(TItemIdListPtr relative, TItemIdListPtr absolute, IShellFolderPtr parentFolder,
                                   bool isFolder)
    : relative_(std::move(relative))
    , absolute_(std::move(absolute))
    , parentFolder_(std::move(parentFolder))
    , isFolder_(isFolder)
{
}

const TItemIdList* TPzShellTreeItem::Relative() const
{
    return relative_ ? relative_.get() : absolute_.get();
}

void TPzShellTreeItem::Reset(TItemIdListPtr relative, TItemIdListPtr absolute)
{
    relative_ = std::move(relative);
    absolute_ = std::move(absolute);
}
