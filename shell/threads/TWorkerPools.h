#pragma once

class TWorkerThreadPool;

// The process-wide worker pools: the folder-size pool of the selection lists,
// the thumbnail pool of the file lists and the listing pool of the panes.
// Every TWorkerPools object is one reference to them: the first creates them,
// the last stops and frees them, so that the program entry and any pane that
// needs a pool may each hold one and the pools are still made only once. No
// pool starts a thread before it receives work. Use on the UI thread only.
class TWorkerPools
{
public:
    TWorkerPools();
    // The last reference stops the pools, giving each worker the pools'
    // hard-kill timeout.
    ~TWorkerPools();
    TWorkerPools(const TWorkerPools&) = delete;
    TWorkerPools& operator=(const TWorkerPools&) = delete;

    // The running pools; null while no TWorkerPools object exists.
    static TWorkerThreadPool* FolderSizePool();
    static TWorkerThreadPool* ThumbnailPool();
    static TWorkerThreadPool* ListingPool();
};
