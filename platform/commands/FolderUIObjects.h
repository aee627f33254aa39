#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/namespace/NamespacePaths.h"

// The UI objects a folder makes for its items (IShellFolder::GetUIObjectOf):
// context menus, data objects and drop targets. Drop targets exist for folders
// with a path and for the trash (a drop there moves to the trash); other items
// take no drops. Info tips and thumbnail extractors are not made here.
// Installs the UI objects of this file and of ItemInfoObjects.h as the ones
// every folder makes (SetUIObjectMaker). Called once at start-up by whoever
// starts the namespace; calling it again changes nothing.
void RegisterFolderUIObjects();

TShellResult MakeFolderUIObject(IShellFolder& folder, TFolderKind folderKind, QWidget* owner,
                                std::span<const TItemIdList* const> items, TUIObjectKind kind, IUIObjectPtr& object);
