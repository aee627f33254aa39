#include "bench/support/BenchFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

// Bytes per read or write of these chores; large enough not to be what is measured.
constexpr std::size_t kChunk = 1 << 20;

class TFd
{
public:
    TFd(const std::string& path, int flags)
        : path_(path)
        , fd_(open(path.c_str(), flags | O_CLOEXEC, 0644))
    {
        if (fd_ < 0)
            Fail("cannot open");
    }
    ~TFd()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;

    int Get() const { return fd_; }
    [[noreturn]] void Fail(const char* what) const
    {
        throw std::runtime_error(std::string(what) + " " + path_ + ": " + std::strerror(errno));
    }

    // Reads until the buffer is full or the file ends; returns the bytes read.
    std::size_t ReadFull(char* buffer, std::size_t size) const
    {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = read(fd_, buffer + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail("cannot read");
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void WriteFull(const char* buffer, std::size_t size) const
    {
        while (size > 0) {
            const ssize_t n = write(fd_, buffer, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                Fail("cannot write");
            buffer += n;
            size -= static_cast<std::size_t>(n);
        }
    }

private:
    std::string path_;
    int fd_;
};

}  // namespace

void MakeTestFile(const std::string& path, std::uint64_t length)
{
    const TFd file(path, O_WRONLY | O_CREAT | O_TRUNC);
    std::vector<std::uint64_t> words(kChunk / sizeof(std::uint64_t));
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    while (length > 0) {
        for (std::uint64_t& word : words) {
            // xorshift64: fast, and its output does not compress.
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const std::size_t size = length < kChunk ? static_cast<std::size_t>(length) : kChunk;
        file.WriteFull(reinterpret_cast<const char*>(words.data()), size);
        length -= size;
    }
    if (fsync(file.Get()) != 0)
        file.Fail("cannot flush");
}

void ReadThrough(const std::string& path)
{
    const TFd file(path, O_RDONLY);
    std::vector<char> buffer(kChunk);
    while (file.ReadFull(buffer.data(), buffer.size()) > 0) {}
}

bool FilesEqual(const std::string& first, const std::string& second)
{
    const TFd a(first, O_RDONLY);
    const TFd b(second, O_RDONLY);
    std::vector<char> bufferA(kChunk);
    std::vector<char> bufferB(kChunk);
    for (;;) {
        const std::size_t n = a.ReadFull(bufferA.data(), kChunk);
        const std::size_t m = b.ReadFull(bufferB.data(), kChunk);
        if (n != m || std::memcmp(bufferA.data(), bufferB.data(), n) != 0)
            return false;
        if (n == 0)
            return true;
    }
}

void ClearFolder(const std::string& folder, const std::vector<std::string>& keep)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> doomed;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        bool kept = false;
        for (const std::string& k : keep)
            kept = kept || k == name;
        if (!kept)
            doomed.push_back(entry.path());
    }
    for (const fs::path& path : doomed)
        fs::remove_all(path);
}

void SyncFileSystem(const std::string& path)
{
    const TFd folder(path, O_RDONLY | O_DIRECTORY);
    if (syncfs(folder.Get()) != 0)
        folder.Fail("cannot flush the file system of");
}

std::optional<std::uint64_t> ParseByteCount(const std::string& text)
{
    std::uint64_t value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [rest, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || rest == begin || value == 0)
        return std::nullopt;
    unsigned shift = 0;
    if (rest != end) {
        if (rest + 1 != end)
            return std::nullopt;
        switch (*rest) {
        case 'K':
        case 'k': shift = 10; break;
        case 'M':
        case 'm': shift = 20; break;
        case 'G':
        case 'g': shift = 30; break;
        default: return std::nullopt;
        }
    }
    if (shift > 0 && value > (UINT64_MAX >> shift))
        return std::nullopt;
    return value << shift;
}

bool MakeEmptyFiles(const std::string& folder, int count, const std::function<std::string(int)>& nameOf)
{
    // ext4 allows 65000 links to one inode; start a new file well before that.
    constexpr int kLinksPerFile = 50000;
    std::string source;
    for (int i = 0; i < count; ++i) {
        const std::string file = folder + "/" + nameOf(i);
        if (i % kLinksPerFile == 0) {
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0)
                return false;
            ::close(fd);
            source = file;
        } else if (::link(source.c_str(), file.c_str()) != 0) {
            return false;
        }
    }
    return true;
}
