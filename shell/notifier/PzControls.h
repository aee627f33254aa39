#pragma once

// The change notifier of the panes.
#include "shell/notifier/NotificationEvents.h"
#include "shell/notifier/TPzNotifyThread.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
