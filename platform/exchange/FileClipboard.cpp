#include "platform/exchange/FileClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void PutFilesOnClipboard(std::unique_ptr<QMimeData> data)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(data.release());  // the clipboard owns it from here
}

std::optional<TFileList> FilesOnClipboard()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return std::nullopt;
    return ReadFileList(*data);
}

bool ClipboardHasFiles()
{
    return FilesOnClipboard().has_value();
}

void ClearClipboard()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear();
}
