#include "tests/support/TFolderListings.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

TFolderListings::TFolderListings(const std::string& folder)
    : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (fd_ >= 0)
        inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_ONLYDIR);
}

TFolderListings::~TFolderListings()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int TFolderListings::Count()
{
    int count = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;)
        for (ssize_t offset = 0; offset < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            // The folder itself has no name in its events; its entries do.
            if ((event.mask & IN_OPEN) && (event.mask & IN_ISDIR) && event.len == 0)
                ++count;
            offset += ssize_t(sizeof(inotify_event) + event.len);
        }
    return count;
}
