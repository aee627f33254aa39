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

// Installs the handler; returns the previous one. An empty handler restores
// the program's own properties dialog.
TPropertiesHandler SetPropertiesHandler(TPropertiesHandler handler);

// Shows the properties of the items; false when no dialog opened.
bool ShowPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items);
