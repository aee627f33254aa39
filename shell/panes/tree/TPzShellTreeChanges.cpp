// The folder tree's change handling: the notifier's reports, found in the
// branches that show the items they name.
#include "shell/panes/tree/TPzShellTree.h"

#include "platform/notify/ChangeItemLists.h"
#include "shell/navigator/ShellIDLists.h"
#include "shell/navigator/StandardFolderLists.h"

void TPzShellTree::HandleShellChange(TNotificationEvent event, const TItemIdList* item1, const TItemIdList* item2)
{
    if (loading_)
        return;
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
