// The folder tree's change handling: the notifier's reports, found in the
// branches that show the items they name.
#include "shell/panes/tree/TPzShellTree.h"

#include "platform/core/ids/ShellItems.h"
#include "platform/notify/ChangeItemLists.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/panes/tree/TPzShellTreeItem.h"

#include <QScopedValueRollback>

namespace {

// The list of a deleted file as the folder it may have been: a link to a
// folder is listed as one, but its delete is reported as one of a file.
// Null when the item is no file-system item or names a folder already.
TItemIdListPtr AsFolderItem(const TItemIdList* absolute)
{
    const std::size_t count = IDListCount(absolute);
    TItemView view;
    if (count == 0 || !ReadItem(LastIDListItem(absolute), view) || view.kind != TItemKind::FileSystem ||
        view.IsFolder())
        return nullptr;
    const TItemIdListPtr folder = MakeFileSystemItem(view.name, view.flags | kItemIsFolder, view.entryType);
    return ConcatIDLists(TruncateIDList(absolute, count - 1).get(), folder.get());
}

}  // namespace

void TPzShellTree::HandleShellChange(TNotificationEvent event, const TItemIdList* item1, const TItemIdList* item2)
{
    if (loading_)
        return;
    const QScopedValueRollback handling(handlingChange_, true);
    HandleChangeOf(event, item1, item2);
    if (rootedAt_ != SF_DESKTOP)
        return;
    const bool folder =
        event == neFolderCreate || event == neFolderDelete || event == neFolderRename || event == neFolderUpdate;
    const std::string path1 = item1 ? GetPathFromIDList(item1) : std::string();
    const std::string path2 = item2 ? GetPathFromIDList(item2) : std::string();
    for (const TPathBranch& branch : PathBranches()) {
        const TItemIdListPtr other1 = FolderRelativeIDList(branch.list.get(), branch.path, path1, folder);
        const TItemIdListPtr other2 = FolderRelativeIDList(branch.list.get(), branch.path, path2, folder);
        if ((other1 && !IDListsEqual(other1.get(), item1)) || (other2 && !IDListsEqual(other2.get(), item2)))
            HandleChangeOf(event, other1.get(), other2.get());
    }
}

std::vector<TPzShellTree::TPathBranch> TPzShellTree::PathBranches()
{
    std::vector<TPathBranch> branches;
    for (const TPzShellFolder special : {SF_DESKTOP, SF_PERSONAL}) {
        TItemIdListPtr list = GetSpecialFolderIDList(special);
        std::string path = list ? GetPathFromIDList(list.get()) : std::string();
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        if (!path.empty())
            branches.push_back({std::move(list), std::move(path)});
    }
    return branches;
}

void TPzShellTree::HandleChangeOf(TNotificationEvent event, const TItemIdList* item1, const TItemIdList* item2)
{
    if (event == neFileDelete && !ShowFiles()) {
        // Without files in the tree, only a link to a folder has a node a
        // file's delete removes; the folder's other children are as they were.
        if (const TItemIdListPtr folder = AsFolderItem(item1))
            if (TTreeNode* node = NodeOfList(folder.get()); node && node->Parent()) {
                if (node == Selected())
                    SetChangeDelay(0);
                Nodes().Delete(node);
            }
        return;
    }
    switch (event) {
    case neFileDelete:
    case neDriveRemove:
    case neFolderDelete: LocateNode(item1, lmDelete); break;
    case neFolderUpdate: LocateNode(item1, lmRefresh); break;
    case neFolderRename:
        LocateNode(item1, lmRefreshParent);
        LocateNode(item2, lmRefreshParent);
        break;
    default: LocateNode(item1, lmRefreshParent); break;
    }
}

void TPzShellTree::ScheduleRefresh(TTreeNode* node, bool recursive, bool overlays)
{
    const TPzShellTreeItem* item = ShellItem(node);
    if (!item)
        return;
    // Few nodes wait at a time: the folders changed within one interval.
    for (TRefreshStep& step : changeRefreshes_)
        if (IDListsEqual(step.Node.get(), item->Absolute())) {
            step.Recursive = step.Recursive || recursive;
            step.Overlays = step.Overlays || overlays;
            return;
        }
    changeRefreshes_.push_back({CloneIDList(item->Absolute()), recursive, overlays, false});
    // Not restarted by later changes: a folder that never rests is still listed.
    if (!changeTimer_.isActive())
        changeTimer_.start();
}

void TPzShellTree::RunChangeRefreshes()
{
    const std::vector<TRefreshStep> steps = std::move(changeRefreshes_);
    changeRefreshes_.clear();
    for (const TRefreshStep& step : steps)
        if (TTreeNode* node = NodeOfList(step.Node.get()))
            RefreshNode(node, step.Recursive, step.Overlays, false);
}
