#include "bench/support/TPinnedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

TPinnedFile::TPinnedFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    struct stat status
    {};
    if (fstat(fd, &status) != 0) {
        close(fd);
        throw std::runtime_error("cannot inspect " + path + ": " + std::strerror(errno));
    }
    length_ = static_cast<std::size_t>(status.st_size);
    if (length_ > 0) {
        address_ = mmap(nullptr, length_, PROT_READ, MAP_SHARED, fd, 0);
        if (address_ == MAP_FAILED) {
            address_ = nullptr;
            close(fd);
            throw std::runtime_error("cannot map " + path + ": " + std::strerror(errno));
        }
        // mlock also reads in whatever is not cached yet.
        locked_ = mlock(address_, length_) == 0;
    }
    close(fd);
}

TPinnedFile::~TPinnedFile()
{
    if (address_ != nullptr) {
        if (locked_)
            munlock(address_, length_);
        munmap(address_, length_);
    }
}
