#include "engine/core/FileSync.h"

#include "engine/core/TFileDescriptor.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

bool MeansSyncUnsupported(int error)
{
    return error == EINVAL || error == ESPIPE || error == ENOSYS || error == EOPNOTSUPP || error == EROFS;
}

bool SyncFileData(int fd)
{
    int result = 0;
    do
        result = ::fdatasync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0 || MeansSyncUnsupported(errno);
}

bool SyncFolder(const std::string& folder)
{
    const TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen())
        return false;
    return ::fsync(fd.Get()) == 0 || MeansSyncUnsupported(errno);
}
