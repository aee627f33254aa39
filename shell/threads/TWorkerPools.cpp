#include "shell/threads/TWorkerPools.h"

#include "shell/threads/TWorkerThreadPool.h"

#include <memory>

namespace {

int references = 0;
std::unique_ptr<TWorkerThreadPool> folderSizePool;
std::unique_ptr<TWorkerThreadPool> thumbnailPool;

}  // namespace

TWorkerPools::TWorkerPools()
{
    if (references++ > 0)
        return;
    folderSizePool = std::make_unique<TWorkerThreadPool>(true);
    thumbnailPool = std::make_unique<TWorkerThreadPool>(true);
}

TWorkerPools::~TWorkerPools()
{
    if (--references > 0)
        return;
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
