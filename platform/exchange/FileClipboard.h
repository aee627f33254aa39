#pragma once

#include "platform/exchange/FileListCodec.h"

#include <memory>
#include <optional>

class QMimeData;

// Files on the system clipboard (QClipboard), in the formats of
// platform/exchange/FileListCodec.h. Call on the UI thread.

// Puts `data` (made by a data object) on the clipboard.
void PutFilesOnClipboard(std::unique_ptr<QMimeData> data);
// The files on the clipboard, from us or another file manager.
std::optional<TFileList> FilesOnClipboard();
bool ClipboardHasFiles();
// Empties the clipboard after its cut files have been moved, so that a second
// paste does not try to move them again.
void ClearClipboard();
