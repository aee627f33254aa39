#pragma once

// The pane link and what a linked pane implements.
#include "shell/IPzShellControl.h"
#include "shell/TPzBaseComponent.h"
#include "shell/TPzShellLink.h"
