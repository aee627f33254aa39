#include "engine/transfer/TFileTransfer.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace {

std::size_t ChosenSize(std::size_t asked, std::size_t fallback, std::size_t limit)
{
    return std::min(asked == 0 ? fallback : asked, limit);
}

// Errors by which copy_file_range says it cannot copy between these files at all.
bool MeansKernelCopyUnsupported(int error)
{
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL || error == EBADF;
}

[[nodiscard]] bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

TFileTransfer::TFileTransfer(TTransferSettings settings)
    : kernelCopyAsked_(settings.Method == TTransferSettings::TMethod::KernelCopy)
    , useKernelCopy_(kernelCopyAsked_)
{
    if (useKernelCopy_) {
        transferSize_ = ChosenSize(settings.TransferSize, kDefaultKernelCopyTransferSize, kMaxKernelCopyTransferSize);
        bufferSize_ = kDefaultBufferTransferSize;
    } else {
        transferSize_ = ChosenSize(settings.TransferSize, kDefaultBufferTransferSize, kMaxBufferTransferSize);
        bufferSize_ = transferSize_;
    }
}

TFileTransfer::~TFileTransfer() = default;

void TFileTransfer::BeginFiles()
{
    useKernelCopy_ = kernelCopyAsked_;
    kernelCopyMoved_ = false;
}

TTransferResult TFileTransfer::Transfer(int sourceFd, int targetFd, std::size_t want)
{
    want = std::min(want, transferSize_);
    if (useKernelCopy_)
        return TransferByKernel(sourceFd, targetFd, want);
    return TransferByBuffer(sourceFd, targetFd, want);
}

TTransferResult TFileTransfer::TransferByBuffer(int sourceFd, int targetFd, std::size_t want)
{
    char* buffer = Buffer();
    want = std::min(want, bufferSize_);
    ssize_t got = 0;
    do
        got = ::read(sourceFd, buffer, want);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        return {0, TTransferFault::Read};
    const auto bytes = static_cast<std::size_t>(got);
    if (!WriteAll(targetFd, buffer, bytes))
        return {0, TTransferFault::Write};
    return {bytes, TTransferFault::None};
}

TTransferResult TFileTransfer::TransferByKernel(int sourceFd, int targetFd, std::size_t want)
{
    ssize_t copied = 0;
    do
        copied = ::copy_file_range(sourceFd, nullptr, targetFd, nullptr, want, 0);
    while (copied < 0 && errno == EINTR);
    if (copied > 0) {
        kernelCopyMoved_ = true;
        return {static_cast<std::size_t>(copied), TTransferFault::None};
    }
    const bool refused = copied < 0 && MeansKernelCopyUnsupported(errno);
    // A failed copy moves nothing, so the buffer can redo this transfer: it tells
    // a read failure from a write failure. Some file systems also answer 0 for
    // files that are not at their end (generated files), and the read settles that.
    const TTransferResult result = TransferByBuffer(sourceFd, targetFd, want);
    // Refused, or nothing copied where the buffer finds data, before anything
    // moved: the kernel cannot copy between these files, and the buffer takes
    // over for them instead of asking again at every transfer.
    if (!kernelCopyMoved_ && (refused || (copied == 0 && result.Bytes > 0)))
        useKernelCopy_ = false;
    return result;
}

char* TFileTransfer::Buffer()
{
    if (!buffer_)
        buffer_ = std::make_unique<char[]>(bufferSize_);
    return buffer_.get();
}
