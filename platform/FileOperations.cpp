#include "platform/FileOperations.h"

#include "platform/TFileOperation.h"

TFileOperationResult RunFileOperation(const TFileOperationRequest& request)
{
    return TFileOperation(request).Run();
}
