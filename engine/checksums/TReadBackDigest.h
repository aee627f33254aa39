#pragma once

#include "engine/checksums/TSha256.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// How far the readers may fall behind the copy: the bytes they read back are
// then still in the page cache, and a few transfers of slack let neither side
// wait on the other often.
constexpr std::uint64_t kReadBackLag = 64 * 1024 * 1024;
// Bytes read back at a time; small enough to stay in the processor's cache
// between the read and the hashing.
constexpr std::size_t kReadBackChunk = 256 * 1024;

// SHA-256 of the bytes a copy moves, computed beside it: the copy says how far
// a file holds its bytes, and readers read them back (from the page cache,
// where the copy left them) and hash them, so that the copy itself stays an
// in-kernel copy. The bytes fall into consecutive sections (the pieces of a
// series), each with its own digest, and one digest covers them all. Every
// byte is hashed twice, so two threads share the work: one hashes the
// sections, the other the whole.
class TReadBackDigest
{
public:
    // Reads `fd` from offset 0 on; the file must stay open while this lives.
    explicit TReadBackDigest(int fd);
    ~TReadBackDigest();
    TReadBackDigest(const TReadBackDigest&) = delete;
    TReadBackDigest& operator=(const TReadBackDigest&) = delete;

    // The file now holds `moved` bytes from its start to be hashed. Waits while
    // a reader is more than kReadBackLag behind. False once reading back failed.
    [[nodiscard]] bool Advance(std::uint64_t moved);

    // The current section ends with the bytes moved so far.
    void EndSection();

    // Digests of the sections hashed so far, in order; the readers may be
    // behind EndSection.
    std::size_t SectionsDone();
    TSha256Digest Section(std::size_t index);
    // Bytes both readers have hashed.
    std::uint64_t Hashed();

    // Waits until every byte moved is hashed and every section ended so far is
    // done; false when the file could not be read back.
    [[nodiscard]] bool Finish();
    // After a successful Finish: all section digests and the digest of all bytes.
    std::vector<TSha256Digest> TakeSections();
    const TSha256Digest& Whole() const { return whole_; }

private:
    // One reader and what only it touches.
    struct TLane
    {
        explicit TLane(bool sections);
        const bool Sections;  // hashes the sections, else the whole
        TSha256 Sha;
        std::unique_ptr<char[]> Buffer;
        std::uint64_t Hashed = 0;  // guarded by the mutex
        std::thread Thread;        // none when no thread could be had: the caller then reads in its place
    };

    bool HasWork(const TLane& lane) const;
    bool Done() const;
    bool Step(TLane& lane, std::unique_lock<std::mutex>& lock);
    void StepInPlace(std::unique_lock<std::mutex>& lock);
    void Read(TLane& lane);
    [[nodiscard]] bool Hash(TLane& lane, std::uint64_t offset, std::size_t size);
    void Stop();

    const int fd_;
    std::mutex mutex_;
    std::condition_variable wake_;      // more to do, for the readers
    std::condition_variable progress_;  // bytes hashed, for Advance and Finish
    std::uint64_t moved_ = 0;
    std::deque<std::uint64_t> ends_;  // where the sections not yet hashed end
    std::vector<TSha256Digest> sections_;
    bool failed_ = false;
    bool stopping_ = false;
    TLane sectionLane_{true};
    TLane wholeLane_{false};
    TSha256Digest whole_{};
};
