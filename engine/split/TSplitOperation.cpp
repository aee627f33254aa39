#include "engine/split/TSplitOperation.h"

#include "engine/host/EngineMessages.h"
#include "engine/split/TSplitRun.h"

#include <utility>

TSplitOperation::TSplitOperation(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host))
    , transfer_(transfer)
{
}

std::int64_t TSplitOperation::SplitFile(const std::string& sourcePath, std::int64_t pieceSize)
{
    const TRefreshOnExit refresh(host_);
    if (pieceSize < 1) {
        ShowError(host_, "Die Teilgröße muss mindestens 1 Byte betragen.");
        return 0;
    }
    TSplitRun run(host_, transfer_, sourcePath, pieceSize);
    return run.Run();
}
