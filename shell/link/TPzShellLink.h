#pragma once

#include "shell/link/IPzShellControl.h"
#include "shell/navigator/library/TPzBaseComponent.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TPzSelectionList;

// Keeps the panes registered with it in step: a folder one pane shows is
// passed on to every other pane, in the order they registered; refresh and
// select-all requests likewise. While a folder broadcast runs the link is
// disabled, so a pane that reacts by changing its own folder starts no second
// wave. The link does not own the panes; it owns their shared selection list.
class TPzShellLink : public TPzBaseComponent
{
    Q_OBJECT

public:
    using TChangeEvent = std::function<void(TPzShellLink& sender)>;

    explicit TPzShellLink(QObject* owner = nullptr);
    // Detaches every pane, the last registered first.
    ~TPzShellLink() override;

    // Appends a pane unless it is already registered.
    void RegisterControl(IPzShellControl* control);
    void UnregisterControl(IPzShellControl* control);
    bool IsRegistered(const IPzShellControl* control) const;
    std::vector<IPzShellControl*> Controls() const;

    // Folder broadcasts: every pane but the sender, then OnChange. A pane's
    // exception leaves the link enabled, skips the panes after it and OnChange,
    // and passes on to the caller.
    void ChangeFolder(IPzShellControl* sender, const TItemIdList* absolute);
    void ChangeFolderAndSelect(IPzShellControl* sender, const TItemIdList* folder, const TItemIdList* item);
    // Plain broadcasts: every pane but the sender (a null sender reaches all).
    void SelectAll(IPzShellControl* sender);
    void FullRefresh(IPzShellControl* sender);
    void RefreshContents(IPzShellControl* sender);

    TPzSelectionList& SelectionList() const { return *selectionList_; }
    // Whether the lists offer their parent entry: the last tree to select a
    // node set it to whether that node lies below its root.
    bool ParentNavigation() const { return parentNavigation_; }
    void SetParentNavigation(bool value) { parentNavigation_ = value; }

    void SetOnChange(TChangeEvent handler) { onChange_ = std::move(handler); }

private:
    void FolderBroadcast(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step);
    void PlainBroadcast(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step);
    // Calls step for every pane but the sender that is still registered when its turn comes.
    void ForEachOther(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step);

    mutable std::mutex controlsLock_;
    std::vector<IPzShellControl*> controls_;
    TChangeEvent onChange_;
    std::unique_ptr<TPzSelectionList> selectionList_;
    bool parentNavigation_ = true;
};
