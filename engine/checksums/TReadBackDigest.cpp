#include "engine/checksums/TReadBackDigest.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <unistd.h>

TReadBackDigest::TLane::TLane(bool sections)
    : Sections(sections)
    , Buffer(std::make_unique<char[]>(kReadBackChunk))
{
}

TReadBackDigest::TReadBackDigest(int fd)
    : fd_(fd)
{
    for (TLane* lane : {&sectionLane_, &wholeLane_}) {
        try {
            lane->Thread = std::thread([this, lane] { Read(*lane); });
        } catch (const std::system_error&) {
        }
    }
}

TReadBackDigest::~TReadBackDigest()
{
    Stop();
}

bool TReadBackDigest::Advance(std::uint64_t moved)
{
    std::unique_lock lock(mutex_);
    moved_ = moved;
    wake_.notify_all();
    StepInPlace(lock);
    progress_.wait(
        lock, [&] { return failed_ || moved_ - std::min(sectionLane_.Hashed, wholeLane_.Hashed) <= kReadBackLag; });
    return !failed_;
}

void TReadBackDigest::EndSection()
{
    const std::lock_guard lock(mutex_);
    ends_.push_back(moved_);
    wake_.notify_all();
}

std::size_t TReadBackDigest::SectionsDone()
{
    const std::lock_guard lock(mutex_);
    return sections_.size();
}

TSha256Digest TReadBackDigest::Section(std::size_t index)
{
    const std::lock_guard lock(mutex_);
    return sections_.at(index);
}

std::uint64_t TReadBackDigest::Hashed()
{
    const std::lock_guard lock(mutex_);
    return std::min(sectionLane_.Hashed, wholeLane_.Hashed);
}

bool TReadBackDigest::Finish()
{
    {
        std::unique_lock lock(mutex_);
        StepInPlace(lock);
        progress_.wait(lock, [this] { return failed_ || Done(); });
    }
    Stop();
    if (failed_)
        return false;
    const auto whole = wholeLane_.Sha.Final();
    if (!whole)
        return false;
    whole_ = *whole;
    return true;
}

std::vector<TSha256Digest> TReadBackDigest::TakeSections()
{
    const std::lock_guard lock(mutex_);
    return std::move(sections_);
}

void TReadBackDigest::Stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (TLane* lane : {&sectionLane_, &wholeLane_})
        if (lane->Thread.joinable())
            lane->Thread.join();
}

bool TReadBackDigest::HasWork(const TLane& lane) const
{
    return lane.Hashed < moved_ || (lane.Sections && !ends_.empty() && ends_.front() == lane.Hashed);
}

bool TReadBackDigest::Done() const
{
    return !HasWork(sectionLane_) && !HasWork(wholeLane_);
}

// Does a reader's next piece of work: ends the sections that end where it
// stands, or hashes the next chunk, which never crosses a section's end.
// False when there was nothing to do or reading failed.
bool TReadBackDigest::Step(TLane& lane, std::unique_lock<std::mutex>& lock)
{
    if (failed_ || !HasWork(lane))
        return false;
    if (lane.Sections && !ends_.empty() && ends_.front() == lane.Hashed) {
        const auto digest = lane.Sha.Final();
        failed_ = !digest;
        if (digest) {
            sections_.push_back(*digest);
            ends_.pop_front();
        }
        progress_.notify_all();
        return !failed_;
    }
    const std::uint64_t limit = lane.Sections && !ends_.empty() ? std::min(moved_, ends_.front()) : moved_;
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(limit - lane.Hashed, kReadBackChunk));
    const std::uint64_t offset = lane.Hashed;
    lock.unlock();
    const bool hashed = Hash(lane, offset, size);
    lock.lock();
    failed_ = failed_ || !hashed;
    if (hashed)
        lane.Hashed += size;
    progress_.notify_all();
    return hashed;
}

// Does the work of the readers that have no thread.
void TReadBackDigest::StepInPlace(std::unique_lock<std::mutex>& lock)
{
    for (TLane* lane : {&sectionLane_, &wholeLane_})
        if (!lane->Thread.joinable())
            while (Step(*lane, lock)) {}
}

void TReadBackDigest::Read(TLane& lane)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || failed_ || HasWork(lane); });
        if (stopping_ || failed_)
            return;
        Step(lane, lock);
    }
}

bool TReadBackDigest::Hash(TLane& lane, std::uint64_t offset, std::size_t size)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd_, lane.Buffer.get(), size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        // A file that ends before the bytes said to be there has changed meanwhile.
        if (got <= 0)
            return false;
        const auto bytes = static_cast<std::size_t>(got);
        if (!lane.Sha.Update(lane.Buffer.get(), bytes))
            return false;
        offset += bytes;
        size -= bytes;
    }
    return true;
}
