#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <functional>
#include <span>

class QWidget;

// The "properties" command shows the properties dialog through this hook: the
// program installs its dialog (ShowItemPropertiesDialog) at start-up, tests
// install their own. Without a handler no dialog opens.
// The handler gets the owner window and the items' absolute lists (valid
// during the call) and answers whether a dialog was shown.
using TPropertiesHandler = std::function<bool(QWidget* owner, std::span<const TItemIdList* const> items)>;

// Installs the handler; returns the previous one.
TPropertiesHandler SetPropertiesHandler(TPropertiesHandler handler);

// Shows the properties of the items; false (ENOTSUP without a handler) when
// no dialog opened.
[[nodiscard]] bool ShowPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items);
