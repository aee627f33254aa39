#include "engine/transfer/TFileFlusher.h"

#include "engine/core/FileSync.h"

#include <system_error>
#include <utility>

#include <fcntl.h>

TFileFlusher::~TFileFlusher()
{
    Abandon();
}

bool TFileFlusher::Hand(TFileDescriptor fd, std::string name, std::uint64_t bytes)
{
    // Failures here show again in the flush, which reports them.
    ::sync_file_range(fd.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    TEntry entry{std::move(fd), std::move(name), bytes};
    std::unique_lock lock(mutex_);
    if (!failedName_.empty())
        return false;
    if (idle_ == 0 && helpers_.size() < kFlushHelpers && !stopping_) {
        try {
            helpers_.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            // Fewer helpers flush more slowly; none at all, and the file is flushed here.
        }
    }
    if (helpers_.empty()) {
        unflushedBytes_ += entry.Bytes;
        lock.unlock();
        const bool flushed = Flush(entry);
        lock.lock();
        Settle(entry, flushed);
        return failedName_.empty();
    }
    settled_.wait(lock, [&] {
        return !failedName_.empty() || (waiting_.size() < kMaxWaitingFiles &&
                                        (unflushedBytes_ == 0 || unflushedBytes_ + bytes <= kMaxWaitingBytes));
    });
    if (!failedName_.empty())
        return false;
    unflushedBytes_ += bytes;
    waiting_.push_back(std::move(entry));
    wake_.notify_one();
    return true;
}

bool TFileFlusher::Finish()
{
    std::unique_lock lock(mutex_);
    settled_.wait(lock, [this] { return waiting_.empty() && busy_ == 0; });
    StopHelpers(lock);
    return failedName_.empty();
}

std::string TFileFlusher::FailedName()
{
    const std::lock_guard lock(mutex_);
    return failedName_;
}

void TFileFlusher::Abandon()
{
    std::deque<TEntry> dropped;
    std::unique_lock lock(mutex_);
    dropped.swap(waiting_);
    for (const TEntry& entry : dropped)
        unflushedBytes_ -= entry.Bytes;
    StopHelpers(lock);
}

void TFileFlusher::StopHelpers(std::unique_lock<std::mutex>& lock)
{
    stopping_ = true;
    wake_.notify_all();
    std::vector<std::thread> helpers;
    helpers.swap(helpers_);
    lock.unlock();
    for (std::thread& helper : helpers)
        helper.join();
    lock.lock();
}

void TFileFlusher::Help()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        --idle_;
        if (waiting_.empty())
            return;
        TEntry entry = std::move(waiting_.front());
        waiting_.pop_front();
        ++busy_;
        lock.unlock();
        const bool flushed = Flush(entry);
        lock.lock();
        --busy_;
        Settle(entry, flushed);
    }
}

void TFileFlusher::Settle(const TEntry& entry, bool flushed)
{
    unflushedBytes_ -= entry.Bytes;
    if (!flushed && failedName_.empty())
        failedName_ = entry.Name;
    settled_.notify_all();
}

bool TFileFlusher::Flush(TEntry& entry)
{
    const bool synced = SyncFileData(entry.Fd.Get());
    if (synced)
        ::posix_fadvise(entry.Fd.Get(), 0, 0, POSIX_FADV_DONTNEED);
    return entry.Fd.Close() && synced;
}
