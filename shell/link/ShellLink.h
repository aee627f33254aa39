#pragma once

// The pane link and what a linked pane implements.
#include "shell/link/IPzShellControl.h"
#include "shell/navigator/library/TPzBaseComponent.h"
#include "shell/link/TPzShellLink.h"
