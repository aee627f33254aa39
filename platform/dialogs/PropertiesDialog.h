#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <span>
#include <string>
#include <vector>

class QWidget;

// Opens the properties dialog (TPropertiesDialog) of files and folders,
// given as absolute paths (native bytes), and returns at once: the dialog is
// not modal and deletes itself when closed. Paths that do not exist are left
// out; when none is left, nothing opens, the last error is ENOENT and, with
// an owner window, a German message says so.
void ShowPropertiesDialog(const std::vector<std::string>& paths, QWidget* owner);

// The same for items given as absolute item id lists, in the shape of the
// handler that the "properties" command calls: items without a path are left
// out; false when nothing opened.
[[nodiscard]] bool ShowItemPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items);
