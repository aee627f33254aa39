// The folder tree's listings of children on a worker: a node being expanded,
// and the mark-and-sweep of nodes being refreshed.
#include "shell/panes/tree/TPzShellTree.h"

#include "framework/TCursorGuard.h"
#include "framework/treeview/TTreeUpdateGuard.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/panes/tree/TPzShellTreeItem.h"

#include <algorithm>

TTreeNode* TPzShellTree::NodeOfList(const TItemIdList* absolute) const
{
    if (!absolute)
        return nullptr;
    const std::size_t count = IDListCount(absolute);
    for (int r = 0; r < Nodes().RootCount(); ++r) {
        TTreeNode* node = Nodes().Root(r);
        const TPzShellTreeItem* rootItem = ShellItem(node);
        if (!rootItem)
            continue;
        const std::size_t base = IDListCount(rootItem->Absolute());
        if (base > count || (base > 0 && !IDListsEqual(TruncateIDList(absolute, base).get(), rootItem->Absolute())))
            continue;
        for (std::size_t level = base; node && level < count; ++level) {
            const TItemIdListPtr sought = GetIDListItem(absolute, level);
            node = FindChild(node, sought.get());
        }
        if (node)
            return node;
    }
    return nullptr;
}

bool TPzShellTree::ChildrenPending(const TTreeNode* node) const
{
    const TPzShellTreeItem* item = ShellItem(node);
    return item && expansion_.Pending() && IDListsEqual(expanded_.get(), item->Absolute());
}

void TPzShellTree::ChildrenListed(TPzFolderListing::TResult& result)
{
    const bool late = expansionLate_;
    expansionLate_ = false;
    viewport()->unsetCursor();
    // The node may have gone while its listing ran.
    TTreeNode* node = NodeOfList(expanded_.get());
    if (!node) {
        if (notice_->Shown() == TPzPaneNotice::ReadingText())
            notice_->Withdraw();
        return;
    }
    {
        const TCursorGuard cursor;
        TTreeUpdateGuard guard(*this);
        if (node->Count() == 0) {
            try {
                browser_.SetFolderIDList(expanded_.get());
                for (std::size_t i = 0; i < result.Items.size(); ++i) {
                    browser_.SetObjectIDList(result.Items[i].get());
                    AddFolderNode(node, i < result.SubFolders.size() ? result.SubFolders[i] : -1);
                }
                ListingEnded(result.Error);
            } catch (const EShellNavigatorError&) {
                // An unreadable folder (a volume without a readable root) has no children.
            }
        }
        SortNodeChildren(node);
        node->SetHasChildren(node->Count() > 0);
    }
    if (node->Parent() && IsUNCPath(GetNodePath(node)))
        notifier_.AddDirectory(browser_.FolderPath());
    if (!late)
        return;
    Expand(node);
    if (const TItemIdListPtr sought = std::move(pendingLocate_))
        LocateNode(sought.get(), lmSelect);
}

void TPzShellTree::RunRefreshes()
{
    // A refresh that ends at once inside the loop queues its children's; the loop takes them.
    if (runningRefreshes_)
        return;
    runningRefreshes_ = true;
    while (!refresh_.Pending() && !refreshes_.empty()) {
        bool shown = false;
        try {
            const TRefreshStep& step = refreshes_.front();
            shown = refresh_.Start(
                browser_, step.Node.get(), options_,
                [this](TPzFolderListing::TResult& result) { ChildrenRefreshed(result); }, !ShowFiles(), step.Awaited);
        } catch (...) {
            runningRefreshes_ = false;
            throw;
        }
        if (!shown)
            break;
    }
    runningRefreshes_ = false;
}

void TPzShellTree::ChildrenRefreshed(TPzFolderListing::TResult& result)
{
    if (refreshes_.empty())
        return;
    const TRefreshStep step = [this] {
        TRefreshStep front = std::move(refreshes_.front());
        refreshes_.pop_front();
        return front;
    }();
    const bool late = !runningRefreshes_;
    TTreeNode* node = NodeOfList(step.Node.get());
    // Gone, collapsed or emptied while its listing ran: nothing to compare.
    if (node && node->Count() > 0 && IsExpanded(node) && ShellItem(node)) {
        try {
            browser_.SetFolderIDList(step.Node.get());
            TTreeUpdateGuard guard(*this);
            const TPzFolderEntries::TChange answer =
                ShellItem(node)->Children.Merge(result, browser_.FolderInterface());
            bool added = false;
            for (std::size_t n = 0; n < result.Items.size(); ++n) {
                const int subFolders = n < result.SubFolders.size() ? result.SubFolders[n] : -1;
                browser_.SetObjectIDList(result.Items[n].get());
                if (auto* held = static_cast<TPzShellTreeItem*>(answer.Listed[n])) {
                    TTreeNode* child = held->Node;
                    if (subFolders >= 0)
                        held->SubFolders = subFolders;
                    child->SetHasChildren((ShowFiles() && browser_.IsFolder()) ||
                                          (subFolders >= 0 ? subFolders == 1 : browser_.HasSubFolders()));
                } else if (!IsEditing() && AddFolderNode(node, subFolders)) {
                    added = true;
                }
            }
            if (ListingEnded(answer.Error) && !answer.Gone.empty()) {
                std::vector<const TTreeNode*> gone;
                gone.reserve(answer.Gone.size());
                for (TPzFolderEntries::TEntry* entry : answer.Gone)
                    gone.push_back(static_cast<TPzShellTreeItem*>(entry)->Node);
                std::sort(gone.begin(), gone.end());
                Nodes().DeleteChildrenIf(
                    node, [&](const TTreeNode& child) { return std::binary_search(gone.begin(), gone.end(), &child); });
            }
            if (step.Recursive)
                for (int i = 0; i < node->Count(); ++i)
                    RefreshNode(node->Item(i), true, step.Overlays, step.Awaited);
            if (added)
                SortNodeChildren(node);
        } catch (const EShellNavigatorError&) {
            // The folder went while its listing ran: its own deletion removes the node.
        }
    }
    if (late)
        RunRefreshes();
}
