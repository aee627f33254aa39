#include "engine/transfer/TWriteBehind.h"

#include "engine/core/FileSync.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes written before the helper flushes again.
// measured, 512 MiB join on ext4: 16, 32 and 64 MiB alike; the smallest leaves least to the last fsync
constexpr std::uint64_t kFlushStep = 16 * 1024 * 1024;

}  // namespace

TWriteBehind::TWriteBehind(int fd)
    : fd_(fd)
{
}

TWriteBehind::~TWriteBehind()
{
    static_cast<void>(Finish());  // writers finish and check themselves; this only ends the flushing
}

bool TWriteBehind::Advance(std::uint64_t written)
{
    while (startEnabled_ && written - started_ >= kWriteBehindWindow) {
        if (::sync_file_range(fd_, static_cast<off64_t>(started_), static_cast<off64_t>(kWriteBehindWindow),
                              SYNC_FILE_RANGE_WRITE) != 0) {
            if (!MeansSyncUnsupported(errno))
                return false;
            startEnabled_ = false;  // the helper's flushes do it all
        }
        started_ += kWriteBehindWindow;
    }
    const std::lock_guard lock(mutex_);
    written_ = written;
    if (!flusher_.joinable() && written_ >= kFlushStep && !stopping_) {
        try {
            flusher_ = std::thread([this] { FlushLoop(); });
        } catch (const std::system_error&) {
            stopping_ = true;  // no helper to be had: the caller's fsync does all the flushing
        }
    }
    if (written_ - durable_ >= kFlushStep)
        wake_.notify_one();
    return !failed_;
}

bool TWriteBehind::Finish()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (flusher_.joinable())
        flusher_.join();
    return !failed_;
}

void TWriteBehind::DropAll()
{
    // The helper has dropped what it made durable; it has ended, so durable_ holds still.
    ::posix_fadvise(fd_, static_cast<off_t>(durable_), 0, POSIX_FADV_DONTNEED);
}

void TWriteBehind::FlushLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || written_ - durable_ >= kFlushStep; });
        if (stopping_)
            return;
        const std::uint64_t target = written_;
        const std::uint64_t from = durable_;
        lock.unlock();
        const bool flushed = ::fdatasync(fd_) == 0;
        const int error = errno;
        if (flushed)
            ::posix_fadvise(fd_, static_cast<off_t>(from), static_cast<off_t>(target - from), POSIX_FADV_DONTNEED);
        lock.lock();
        if (!flushed) {
            // Where flushing is not supported the caller's fsync says so itself.
            failed_ = !MeansSyncUnsupported(error);
            return;
        }
        durable_ = target;
    }
}
