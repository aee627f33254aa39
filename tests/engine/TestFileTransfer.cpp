#include "EngineTestSupport.h"

#include "engine/core/TFileDescriptor.h"
#include "engine/transfer/TFileTransfer.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Moves a whole file with the given transfer and returns how many transfers it took.
int CopyAll(TFileTransfer& transfer, const std::string& from, const std::string& to)
{
    const TFileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    const TFileDescriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    EXPECT_TRUE(source.IsOpen() && target.IsOpen());
    int transfers = 0;
    for (;;) {
        const TTransferResult result = transfer.Transfer(source.Get(), target.Get(), transfer.TransferSize());
        EXPECT_EQ(result.Fault, TTransferFault::None);
        if (result.Fault != TTransferFault::None || result.Bytes == 0)
            return transfers;
        ++transfers;
    }
}

TEST(FileTransfer, SizesDefaultToTheMethodsConstantsAndStayBounded)
{
    using TMethod = TTransferSettings::TMethod;
    EXPECT_TRUE(TFileTransfer({}).UsesKernelCopy());
    EXPECT_EQ(TFileTransfer({TMethod::Buffer, 0}).TransferSize(), kDefaultBufferTransferSize);
    EXPECT_EQ(TFileTransfer({TMethod::KernelCopy, 0}).TransferSize(), kDefaultKernelCopyTransferSize);
    EXPECT_EQ(TFileTransfer({TMethod::Buffer, 2048}).TransferSize(), 2048u);
    EXPECT_EQ(TFileTransfer({TMethod::Buffer, std::size_t{1} << 40}).TransferSize(), kMaxBufferTransferSize);
    EXPECT_EQ(TFileTransfer({TMethod::KernelCopy, std::size_t{1} << 40}).TransferSize(), kMaxKernelCopyTransferSize);
}

TEST(FileTransfer, KernelCopyWithinOneFileSystemMovesEverything)
{
    const TTempDir dir;
    const std::string bytes = PatternBytes(100000);
    WriteFileBytes(dir / "from", bytes);
    TFileTransfer transfer({TTransferSettings::TMethod::KernelCopy, 30000});
    EXPECT_EQ(CopyAll(transfer, dir / "from", dir / "to"), 4);
    EXPECT_TRUE(transfer.UsesKernelCopy());
    EXPECT_TRUE(ReadFileBytes(dir / "to") == bytes);
}

// Between a memory file system and the temporary folder the in-kernel copy may
// be refused; the transfer then goes on through the buffer without losing a byte.
TEST(FileTransfer, KernelCopyAcrossFileSystemsStillMovesEverything)
{
    const TTempDir memory(FastFileSystemFolder());
    const TTempDir disk;
    const std::string bytes = PatternBytes(300000);
    WriteFileBytes(memory / "from", bytes);
    TFileTransfer transfer({TTransferSettings::TMethod::KernelCopy, 0});
    CopyAll(transfer, memory / "from", disk / "to");
    EXPECT_TRUE(ReadFileBytes(disk / "to") == bytes);
}

// Wherever the kernel will not copy, the buffer takes over for that pair of
// files without losing a byte, and the next pair tries the kernel again.
TEST(FileTransfer, ARefusedKernelCopyFallsBackForThatPairOfFilesOnly)
{
    const TTempDir dir;
    const std::string bytes = PatternBytes(700000);
    WriteFileBytes(dir / "from", bytes);
    for (const int answer : {EXDEV, EINVAL, ENOSYS, EOPNOTSUPP, 0}) {
        SCOPED_TRACE("copy_file_range answers " + std::to_string(-answer));
        TFileTransfer transfer({});
        RunWithoutKernelCopy(answer, [&] {
            CopyAll(transfer, dir / "from", dir / "to");
            EXPECT_FALSE(transfer.UsesKernelCopy());
        });
        EXPECT_TRUE(ReadFileBytes(dir / "to") == bytes);

        transfer.BeginFiles();
        EXPECT_EQ(CopyAll(transfer, dir / "from", dir / "again"), 1);
        EXPECT_TRUE(transfer.UsesKernelCopy());
        EXPECT_TRUE(ReadFileBytes(dir / "again") == bytes);
    }
}

// Generated files report no size and may answer an in-kernel copy with 0 bytes
// though they hold data; the buffer reads them all the same.
TEST(FileTransfer, GeneratedFilesAreReadToTheirEnd)
{
    const TTempDir dir;
    TFileTransfer transfer({TTransferSettings::TMethod::KernelCopy, 0});
    CopyAll(transfer, "/proc/self/status", dir / "status");
    EXPECT_EQ(ReadFileBytes(dir / "status").substr(0, 5), "Name:");
}

TEST(FileTransfer, FailuresNameTheSideThatFailed)
{
    const TTempDir dir;
    WriteFileBytes(dir / "from", "abc");
    for (const auto method : {TTransferSettings::TMethod::Buffer, TTransferSettings::TMethod::KernelCopy}) {
        TFileTransfer transfer({method, 0});
        const TFileDescriptor memory(::open("/proc/self/mem", O_RDONLY | O_CLOEXEC));
        const TFileDescriptor target(::open((dir / "to").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        EXPECT_EQ(transfer.Transfer(memory.Get(), target.Get(), 100).Fault, TTransferFault::Read);

        const TFileDescriptor source(::open((dir / "from").c_str(), O_RDONLY | O_CLOEXEC));
        const TFileDescriptor readOnly(::open((dir / "to").c_str(), O_RDONLY | O_CLOEXEC));
        EXPECT_EQ(transfer.Transfer(source.Get(), readOnly.Get(), 100).Fault, TTransferFault::Write);
    }
}

}  // namespace
