#pragma once

// The change notifier of the panes.
#include "shell/NotificationEvents.h"
#include "shell/TPzNotifyThread.h"
#include "shell/TPzShellChangeNotifier.h"
