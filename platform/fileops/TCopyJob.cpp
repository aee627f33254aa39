#include "platform/fileops/TCopyJob.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <climits>
#include <memory>
#include <vector>

#include "platform/core/files/FileTreeOps.h"
#include "platform/core/system/TFileHandle.h"
#include "platform/dialogs/TOperationProgress.h"

namespace {

// Bytes per copy_file_range call: large enough that the calls cost nothing
// next to the data, small enough that a cancel answers within a fraction of
// a second even on a slow USB stick.
constexpr std::size_t kChunkBytes = 4 << 20;
// Buffer of the read/write fallback.
constexpr std::size_t kBufferBytes = 1 << 20;

struct TDirCloser
{
    void operator()(DIR* stream) const { ::closedir(stream); }
};
using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

void KeepTimes(const std::string& path, const struct stat& status, int flags)
{
    const timespec times[2] = {status.st_atim, status.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, flags);
}

bool CopyFileRangeUnsupported(int error)
{
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL || error == EBADF;
}

}  // namespace

int TCopyJob::Copy(const std::string& source, const std::string& destination)
{
    failedPath_.clear();
    copied_.clear();
    return CopyEntry(source, destination);
}

void TCopyJob::Remember(const std::string& source, const struct stat& status)
{
    if (forMove_)
        copied_.push_back({source, status});
}

int TCopyJob::RemoveCopiedSources(bool& whole)
{
    whole = true;
    int firstError = 0;
    for (auto entry = copied_.rbegin(); entry != copied_.rend(); ++entry) {
        struct stat now
        {};
        if (::lstat(entry->Path.c_str(), &now) != 0) {
            if (errno != ENOENT && firstError == 0)
                firstError = Fail(errno, entry->Path);
            continue;
        }
        const struct stat& then = entry->Status;
        const bool same =
            now.st_dev == then.st_dev && now.st_ino == then.st_ino &&
            (!S_ISREG(now.st_mode) || (now.st_size == then.st_size && now.st_mtim.tv_sec == then.st_mtim.tv_sec &&
                                       now.st_mtim.tv_nsec == then.st_mtim.tv_nsec));
        if (!same) {
            whole = false;  // another entry now, or the file changed after it was copied
            continue;
        }
        if (S_ISDIR(now.st_mode)) {
            if (::rmdir(entry->Path.c_str()) == 0)
                continue;
            // Entries that were not copied keep their folder.
            if (errno == ENOTEMPTY || errno == EEXIST) {
                whole = false;
                continue;
            }
        } else if (::unlink(entry->Path.c_str()) == 0) {
            continue;
        }
        whole = false;
        if (firstError == 0)
            firstError = Fail(errno, entry->Path);
    }
    return firstError;
}

int TCopyJob::Fail(int error, const std::string& path)
{
    if (failedPath_.empty())
        failedPath_ = path;
    return error;
}

int TCopyJob::CopyEntry(const std::string& source, const std::string& destination)
{
    progress_.SetCurrentItem(QFile::decodeName(QByteArray::fromStdString(source)));
    if (!progress_.Step(0))
        return ECANCELED;
    struct stat status
    {};
    if (::lstat(source.c_str(), &status) != 0)
        return Fail(errno, source);
    int error = 0;
    if (S_ISREG(status.st_mode))
        error = CopyFile(source, status, destination);
    else if (S_ISDIR(status.st_mode))
        error = CopyFolder(source, status, destination);
    else if (S_ISLNK(status.st_mode))
        error = CopyLink(source, status, destination);
    else if (S_ISFIFO(status.st_mode))
        error = ::mkfifo(destination.c_str(), status.st_mode & 07777) == 0 ? 0 : Fail(errno, destination);
    else
        // Devices and sockets are no data a user copies.
        error = Fail(EOPNOTSUPP, source);
    if (error != 0)
        return error;
    if (S_ISFIFO(status.st_mode))
        KeepTimes(destination, status, 0);
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        Remember(source, status);
    return progress_.Step(1) ? 0 : ECANCELED;
}

int TCopyJob::CopyFile(const std::string& source, const struct stat& status, const std::string& destination)
{
    // O_NONBLOCK: should the entry have become a FIFO since lstat, opening it must not hang.
    TFileHandle in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in.IsValid())
        return Fail(errno, source);
    struct stat opened
    {};
    if (::fstat(in.Get(), &opened) != 0)
        return Fail(errno, source);
    if (!S_ISREG(opened.st_mode) || opened.st_ino != status.st_ino || opened.st_dev != status.st_dev)
        return Fail(EAGAIN, source);
    ::posix_fadvise(in.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    TFileHandle out(::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!out.IsValid())
        return Fail(errno, destination);
    if (const int error = CopyData(in.Get(), out.Get()))
        return Fail(error, destination);
    if (::fchmod(out.Get(), opened.st_mode & 07777) != 0)
        return Fail(errno, destination);
    const timespec times[2] = {opened.st_atim, opened.st_mtim};
    if (::futimens(out.Get(), times) != 0)
        return Fail(errno, destination);
    if (forMove_ && ::fsync(out.Get()) != 0)
        return Fail(errno, destination);
    if (const int error = out.Close())
        return Fail(error, destination);
    // What is deleted later is the file as it was before it was read: one
    // that changed while it was copied differs from it and stays.
    Remember(source, opened);
    return 0;
}

int TCopyJob::CopyData(int in, int out)
{
    bool first = true;
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, kChunkBytes, 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0 && first && CopyFileRangeUnsupported(errno))
            return CopyDataByBuffer(in, out);
        if (copied < 0)
            return errno;
        // Files of /proc and /sys report size 0 and give nothing to
        // copy_file_range; read() gets their text.
        if (copied == 0 && first)
            return CopyDataByBuffer(in, out);
        if (copied == 0)
            return 0;
        first = false;
        if (!progress_.Step(static_cast<std::uint64_t>(copied)))
            return ECANCELED;
    }
}

int TCopyJob::CopyDataByBuffer(int in, int out)
{
    std::vector<char> buffer(kBufferBytes);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        ssize_t written = 0;
        while (written < got) {
            const ssize_t count = ::write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return errno;
            written += count;
        }
        if (!progress_.Step(static_cast<std::uint64_t>(got)))
            return ECANCELED;
    }
}

int TCopyJob::CopyFolder(const std::string& source, const struct stat& status, const std::string& destination)
{
    // Owner-writable while it is filled, its own mode once it is complete.
    if (::mkdir(destination.c_str(), 0700) != 0)
        return Fail(errno, destination);
    const int fd = ::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno, source);
    TDirPtr stream(::fdopendir(fd));
    if (!stream) {
        const int error = errno;
        ::close(fd);
        return Fail(error, source);
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    if (errno != 0)
        return Fail(errno, source);
    stream.reset();
    // Listed before its entries, so that it is deleted after them.
    Remember(source, status);
    for (const std::string& name : names) {
        if (const int error = CopyEntry(JoinPath(source, name), JoinPath(destination, name)))
            return error;
    }
    if (::chmod(destination.c_str(), status.st_mode & 07777) != 0)
        return Fail(errno, destination);
    KeepTimes(destination, status, 0);
    // The folder's entries are on the disk only once the folder itself is.
    if (forMove_) {
        if (const int error = FlushFolder(destination))
            return Fail(error, destination);
    }
    return 0;
}

int TCopyJob::CopyLink(const std::string& source, const struct stat& status, const std::string& destination)
{
    // Links of /proc report size 0.
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size());
    if (length < 0)
        return Fail(errno, source);
    if (static_cast<std::size_t>(length) >= target.size())
        return Fail(ENAMETOOLONG, source);
    target.resize(static_cast<std::size_t>(length));
    if (::symlink(target.c_str(), destination.c_str()) != 0)
        return Fail(errno, destination);
    KeepTimes(destination, status, AT_SYMLINK_NOFOLLOW);
    return 0;
}
