#pragma once

class TWorkerThreadPool;

// The two process-wide worker pools, created by the program entry before the
// main window and stopped when the program ends: the folder-size pool of the
// selection lists and the thumbnail pool of the file lists. Neither starts a
// thread before it receives work.
class TWorkerPools
{
public:
    TWorkerPools();
    // Stops both pools, giving each worker the pools' hard-kill timeout.
    ~TWorkerPools();
    TWorkerPools(const TWorkerPools&) = delete;
    TWorkerPools& operator=(const TWorkerPools&) = delete;

    // The running pools; null while no TWorkerPools object exists.
    static TWorkerThreadPool* FolderSizePool();
    static TWorkerThreadPool* ThumbnailPool();
};
