#include "shell/threads/TWorkerPools.h"

#include "shell/threads/TWorkerThreadPool.h"

#include <memory>

namespace {

int references = 0;
std::unique_ptr<TWorkerThreadPool> folderSizePool;
std::unique_ptr<TWorkerThreadPool> thumbnailPool;
std::unique_ptr<TWorkerThreadPool> listingPool;

// A listing waits on its file system, not on the processors: a busy machine
// is no reason to keep a newer folder waiting behind a slow one.
constexpr int kListingLoadLimit = 101;

}  // namespace

TWorkerPools::TWorkerPools()
{
    if (references++ > 0)
        return;
    folderSizePool = std::make_unique<TWorkerThreadPool>(true);
    thumbnailPool = std::make_unique<TWorkerThreadPool>(true);
    listingPool = std::make_unique<TWorkerThreadPool>(true);
    listingPool->SetCpuLoadLimit(kListingLoadLimit);
}

TWorkerPools::~TWorkerPools()
{
    if (--references > 0)
        return;
    listingPool.reset();
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

TWorkerThreadPool* TWorkerPools::ListingPool()
{
    return listingPool.get();
}
