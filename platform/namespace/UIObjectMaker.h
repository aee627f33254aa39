#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/namespace/NamespacePaths.h"

#include <functional>
#include <span>

class QWidget;

// Makes the UI objects that folders hand out for their items (GetUIObjectOf).
// The namespace knows no kind of UI object itself: the commands install the
// maker at start-up (RegisterFolderUIObjects), so the namespace stays below
// the menus, the clipboard and the file operations. Without a maker every
// request fails with ENOTSUP.
using TUIObjectMaker =
    std::function<TShellResult(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                               std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object)>;

void SetUIObjectMaker(TUIObjectMaker maker);

// Asks the installed maker for a UI object.
TShellResult MakeUIObject(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                          std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object);
