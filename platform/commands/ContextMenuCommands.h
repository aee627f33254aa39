#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "platform/core/ids/TShellResult.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

// What a context menu knows of one of its items.
struct TMenuItem
{
    TItemIdListPtr Relative;  // relative to the menu's folder
    TItemIdListPtr Absolute;
    std::string Path;              // "" for an object without one
    std::uint32_t Attributes = 0;  // SFGAO_ bits
    bool IsTrashEntry = false;
};

// What a command runs on: the items of one folder (none: the folder itself).
struct TCommandTarget
{
    const TItemIdList* FolderList = nullptr;  // absolute
    std::string FolderPath;
    const std::vector<TMenuItem>* Items = nullptr;
    QWidget* Owner = nullptr;  // none: no error dialogs
};

// The commands of the context menus. Each returns success, ECANCELED when the
// user declined, or the errno of the failure; all set the last error.
TShellResult RunOpen(const TCommandTarget& target);
TShellResult RunOpenWith(const TCommandTarget& target, const std::string& appId);
TShellResult RunPutOnClipboard(const TCommandTarget& target, bool cut);
// Pastes the clipboard's files into `folderPath`; a pasted cut empties the clipboard.
TShellResult RunPaste(const std::string& folderPath, QWidget* owner);
TShellResult RunLink(const TCommandTarget& target);
TShellResult RunDelete(const TCommandTarget& target);
TShellResult RunUndelete(const TCommandTarget& target);
TShellResult RunProperties(const TCommandTarget& target);

// Where "link" puts the links of a folder's items: the folder itself, or the
// desktop directory for a folder without a path (the volumes of the computer).
std::string LinkFolderOf(const TCommandTarget& target);
