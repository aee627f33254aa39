#include "engine/core/FileTimes.h"

#include <fcntl.h>

TFileTimes FileTimesOf(const struct stat& status)
{
    TFileTimes times;
    times.Access = status.st_atim;
    times.Modification = status.st_mtim;
    times.Known = true;
    return times;
}

TFileTimes ReadFileTimes(const std::string& path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return FileTimesOf(status);
}

void ApplyFileTimes(const std::string& path, const TFileTimes& times)
{
    if (!times.Known)
        return;
    const timespec values[2] = {times.Access, times.Modification};
    ::utimensat(AT_FDCWD, path.c_str(), values, AT_SYMLINK_NOFOLLOW);
}

bool ApplyFileTimes(int fd, const TFileTimes& times)
{
    if (!times.Known)
        return true;
    const timespec values[2] = {times.Access, times.Modification};
    return ::futimens(fd, values) == 0;
}
