#include "shell/panes/PaneClipboard.h"

#include "platform/exchange/FileClipboard.h"

TFileNames ClipboardFileNames()
{
    TFileNames names;
    if (std::optional<TFileList> files = FilesOnClipboard())
        for (std::string& path : files->Paths)
            names.Add(std::move(path));
    return names;
}
