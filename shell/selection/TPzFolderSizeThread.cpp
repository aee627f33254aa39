#include "shell/selection/TPzFolderSizeThread.h"

#include "platform/core/files/TFolderSizeWalker.h"

#include <utility>

TPzFolderSizeThread::TPzFolderSizeThread(std::string path, bool recurse, int sign)
    : path_(std::move(path))
    , recurse_(recurse)
    , sign_(sign)
{
}

void TPzFolderSizeThread::Execute()
{
    TFolderSizeWalker walker([this] { return CheckCancelled(); });
    walker.AddItem(path_, recurse_);
    totalSize_ = static_cast<std::int64_t>(walker.Totals().bytes);
    fileCount_ = static_cast<std::int64_t>(walker.Totals().files);
    folderCount_ = static_cast<std::int64_t>(walker.Totals().folders);
}
