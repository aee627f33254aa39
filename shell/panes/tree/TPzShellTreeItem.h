#pragma once

#include "framework/treeview/TTreeNode.h"
#include "platform/core/ids/TItemIdList.h"
#include "platform/namespace/IShellFolder.h"
#include "shell/panes/TPzFolderEntries.h"

// The shell data of a folder tree node: which object it stands for, the
// folder that compares and sorts it among its siblings, and the folder model
// of its children. The node is an entry of its parent's model (a root of
// none). A node without one is not a shell node and every shell operation
// passes it by.
class TPzShellTreeItem : public TTreeNodeData, public TPzFolderEntries::TEntry
{
public:
    TPzShellTreeItem(TItemIdListPtr relative, TItemIdListPtr absolute, IShellFolderPtr parentFolder, bool isFolder);

    // The item relative to the parent folder; for a root the absolute list.
    const TItemIdList* Relative() const;
    const TItemIdList* Absolute() const { return absolute_.get(); }
    // Takes a renamed object's lists.
    void Reset(TItemIdListPtr relative, TItemIdListPtr absolute);
    const IShellFolderPtr& ParentFolder() const { return parentFolder_; }
    void SetParentFolder(IShellFolderPtr folder) { parentFolder_ = std::move(folder); }
    // The node's own folder; set for the root only.
    const IShellFolderPtr& OwnFolder() const { return ownFolder_; }
    void SetOwnFolder(IShellFolderPtr folder) { ownFolder_ = std::move(folder); }
    bool IsFolder() const { return isFolder_; }

    // The node this data belongs to.
    TTreeNode* Node = nullptr;
    // The children made so far, one entry each.
    TPzFolderEntries Children;

    bool Compressed = false;
    bool Encrypted = false;
    // Whether the object has sub-folders, as its listing's worker found out
    // (which looks into the folder); -1 until then.
    int SubFolders = -1;

private:
    // The entry's item is the relative one; null for a root, whose relative item is the absolute list.
    TItemIdListPtr absolute_;
    IShellFolderPtr parentFolder_;
    IShellFolderPtr ownFolder_;
    bool isFolder_;
};
