#include "engine/TJoinRequest.h"

#include <utility>

TJoinRequest::TJoinRequest(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host)), transfer_(transfer)
{
}

void TJoinRequest::CombineFile(const std::string& pickedPath)
{
    (void)pickedPath;
}
