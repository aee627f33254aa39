#include "platform/core/system/TFileHandle.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

TFileHandle::~TFileHandle()
{
    Reset();
}

TFileHandle::TFileHandle(TFileHandle&& other) noexcept
    : fd_(other.Release())
{
}

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int TFileHandle::Release()
{
    return std::exchange(fd_, -1);
}

void TFileHandle::Reset(int fd)
{
    const int old = std::exchange(fd_, fd);
    if (old >= 0)
        ::close(old);
}

int TFileHandle::Close()
{
    const int old = Release();
    // Linux closes the descriptor even when close fails, so it is never retried.
    if (old >= 0 && ::close(old) != 0 && errno != EINTR)
        return errno;
    return 0;
}
