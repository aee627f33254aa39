#include "engine/TSplitOperation.h"

#include <utility>

TSplitOperation::TSplitOperation(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host)), transfer_(transfer)
{
}

void TSplitOperation::SplitFile(const std::string& sourcePath, std::int64_t pieceSize)
{
    (void)sourcePath;
    (void)pieceSize;
    if (host_.RefreshList)
        host_.RefreshList();
}
