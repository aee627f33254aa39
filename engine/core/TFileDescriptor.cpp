#include "engine/core/TFileDescriptor.h"

#include <unistd.h>

#include <utility>

TFileDescriptor::TFileDescriptor(int fd)
    : fd_(fd)
{
}

TFileDescriptor::~TFileDescriptor()
{
    static_cast<void>(Close());  // no one left to tell; writers close and check themselves
}

TFileDescriptor::TFileDescriptor(TFileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1))
{
}

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept
{
    if (this != &other) {
        static_cast<void>(Close());  // no one left to tell; writers close and check themselves
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool TFileDescriptor::Close()
{
    if (fd_ < 0)
        return true;
    // Linux releases the descriptor even when close fails, so it is never retried.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0;
}
