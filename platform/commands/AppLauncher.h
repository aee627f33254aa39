#pragma once

#include "platform/commands/IAppLauncher.h"

// The launcher the context menus use: the desktop's (GIO) unless replaced.

IAppLauncherPtr GetAppLauncher();
// Replaces the launcher; returns the previous one. Null restores the desktop's.
IAppLauncherPtr SetAppLauncher(IAppLauncherPtr launcher);

// The MIME type that decides which application opens a file: by name and
// content, "inode/directory" for folders.
std::string MimeTypeOfFile(const std::string& path);
