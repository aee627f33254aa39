#include "platform/FileOperations.h"

#include "platform/LastError.h"

#include <cerrno>

// Placeholder until the file-operation engine lands: refuses every request.
TFileOperationResult RunFileOperation(const TFileOperationRequest&)
{
    TFileOperationResult result;
    result.Error = ENOSYS;
    SetLastError(ENOSYS);
    return result;
}
