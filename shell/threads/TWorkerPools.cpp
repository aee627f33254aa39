#include "shell/threads/TWorkerPools.h"

#include "shell/threads/TWorkerThreadPool.h"

#include <memory>

namespace {

std::unique_ptr<TWorkerThreadPool> folderSizePool;
std::unique_ptr<TWorkerThreadPool> thumbnailPool;

} // namespace

TWorkerPools::TWorkerPools()
{
    folderSizePool = std::make_unique<TWorkerThreadPool>(true);
    thumbnailPool = std::make_unique<TWorkerThreadPool>(true);
}

TWorkerPools::~TWorkerPools()
{
    thumbnailPool.reset();
    folderSizePool.reset();
}

TWorkerThreadPool* TWorkerPools::FolderSizePool()
{
    return folderSizePool.get();
}

TWorkerThreadPool* TWorkerPools::ThumbnailPool()
{
    return thumbnailPool.get();
}
