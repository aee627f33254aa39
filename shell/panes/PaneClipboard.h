#pragma once

#include "shell/navigator/TFileNames.h"

// The files on the clipboard (from us or another file manager) as the panes
// report them; empty when it holds none. Call on the UI thread.
TFileNames ClipboardFileNames();
