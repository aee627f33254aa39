#pragma once

#include "platform/TItemIdList.h"

#include <functional>
#include <span>

class QWidget;

// The "properties" command shows the properties dialog through this hook, so
// that the layer that owns the dialog installs it and tests can replace it.
// The handler gets the owner window and the items' absolute lists (valid
// during the call) and answers whether a dialog was shown.
using TPropertiesHandler = std::function<bool(QWidget* owner, std::span<const TItemIdList* const> items)>;

// Installs the handler; returns the previous one. An empty handler removes it.
TPropertiesHandler SetPropertiesHandler(TPropertiesHandler handler);

// Shows the properties of the items; false (ENOSYS as the last error) when no
// dialog is installed.
bool ShowPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items);
