#include "shell/link/TPzShellLink.h"

#include "shell/selection/TPzSelectionList.h"

#include <algorithm>

TPzShellLink::TPzShellLink(QObject* owner)
    : TPzBaseComponent(owner, true)
    , selectionList_(std::make_unique<TPzSelectionList>(this))
{
    selectionList_->SetOnRefreshPanes([this] { RefreshContents(nullptr); });
}

TPzShellLink::~TPzShellLink()
{
    for (auto control = Controls(); !control.empty(); control.pop_back()) {
        control.back()->SetShellLink(nullptr);
        UnregisterControl(control.back());
    }
    selectionList_.reset();
}

void TPzShellLink::RegisterControl(IPzShellControl* control)
{
    const std::lock_guard guard(controlsLock_);
    if (control != nullptr && std::find(controls_.begin(), controls_.end(), control) == controls_.end())
        controls_.push_back(control);
}

void TPzShellLink::UnregisterControl(IPzShellControl* control)
{
    const std::lock_guard guard(controlsLock_);
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

bool TPzShellLink::IsRegistered(const IPzShellControl* control) const
{
    const std::lock_guard guard(controlsLock_);
    return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

std::vector<IPzShellControl*> TPzShellLink::Controls() const
{
    const std::lock_guard guard(controlsLock_);
    return controls_;
}

void TPzShellLink::ChangeFolder(IPzShellControl* sender, const TItemIdList* absolute)
{
    FolderBroadcast(sender, [absolute](IPzShellControl& control) { control.ChangeFolder(absolute); });
}

void TPzShellLink::ChangeFolderAndSelect(IPzShellControl* sender, const TItemIdList* folder, const TItemIdList* item)
{
    FolderBroadcast(sender, [folder, item](IPzShellControl& control) { control.ChangeFolderAndSelect(folder, item); });
}

void TPzShellLink::SelectAll(IPzShellControl* sender)
{
    PlainBroadcast(sender, [](IPzShellControl& control) { control.SelectAll(); });
}

void TPzShellLink::FullRefresh(IPzShellControl* sender)
{
    PlainBroadcast(sender, [](IPzShellControl& control) { control.FullRefresh(); });
}

void TPzShellLink::RefreshContents(IPzShellControl* sender)
{
    PlainBroadcast(sender, [](IPzShellControl& control) { control.RefreshContents(); });
}

void TPzShellLink::FolderBroadcast(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step)
{
    if (!Enabled())
        return;
    SetEnabled(false);
    try {
        ForEachOther(sender, step);
    } catch (...) {
        SetEnabled(true);
        throw;
    }
    SetEnabled(true);
    if (onChange_)
        onChange_(*this);
}

void TPzShellLink::PlainBroadcast(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step)
{
    if (Enabled())
        ForEachOther(sender, step);
}

void TPzShellLink::ForEachOther(IPzShellControl* sender, const std::function<void(IPzShellControl&)>& step)
{
    // A pane may unregister (or another register) while it reacts; the
    // snapshot keeps the walk valid and the check skips panes that left.
    for (IPzShellControl* control : Controls()) {
        if (control != sender && IsRegistered(control))
            step(*control);
    }
}
