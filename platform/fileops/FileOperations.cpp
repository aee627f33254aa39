#include "platform/fileops/FileOperations.h"

#include "platform/fileops/TFileOperation.h"

TFileOperationResult RunFileOperation(const TFileOperationRequest& request)
{
    return TFileOperation(request).Run();
}
