#include "tests/support/TTmpfsMount.h"

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

TTmpfsMount::TTmpfsMount(std::string folder, const std::string& options)
    : folder_(std::move(folder))
{
    mounted_ = ::mount("parzello-test", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_)
        skipReason_ = "cannot mount a tmpfs on " + folder_ + ": " + std::strerror(errno);
}

TTmpfsMount::~TTmpfsMount()
{
    if (mounted_)
        ::umount2(folder_.c_str(), MNT_DETACH);
}
