#pragma once

#include "platform/core/ids/TItemIdList.h"

class TPzShellLink;

// What a pane offers the pane link that keeps it in step with the other
// panes. Lists passed in stay the caller's; a pane copies what it keeps.
class IPzShellControl
{
public:
    virtual ~IPzShellControl() = default;

    // Attaches the pane to a link, or detaches it with null.
    virtual void SetShellLink(TPzShellLink* link) = 0;
    virtual TPzShellLink* GetShellLink() const = 0;
    // Shows the folder of an absolute list.
    virtual void ChangeFolder(const TItemIdList* absolute) = 0;
    // Shows a folder and selects the object `item` (relative to it) in it.
    virtual void ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item) = 0;
    virtual void SelectAll() = 0;
    // Rebuilds the pane from the namespace.
    virtual void FullRefresh() = 0;
    // Brings the pane's current contents up to date.
    virtual void RefreshContents() = 0;
    // Goes to the parent folder and tells the link; false when there is none.
    [[nodiscard]] virtual bool GoUp() = 0;
};
