// fileops-bench: the file-operation engine's copy beside `cp -r` of coreutils.
//
//     fileops-bench [DIR] [--rounds N] [--size BYTES]
//
// Makes a tree under a scratch folder in DIR (default /tmp): one file of SIZE
// bytes (default 256 MiB) and a folder of 2000 files of 4 KiB. In interleaved
// rounds (the peer leads every second round) it copies the tree with
// RunFileOperation and with `cp -r`, removing each copy and flushing the file
// system after every run. Prints the medians and, last,
//
//     RATIO copy_vs_cp X
//
// elapsed time ours over the peer's; lower is better for us.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/TScratchFolder.h"
#include "platform/fileops/FileOperations.h"
#include "platform/core/files/FileTreeOps.h"

namespace {

// Many small files show the cost per file, one large one the data path.
constexpr int kSmallFiles = 2000;
constexpr std::size_t kSmallFileBytes = 4096;

void WriteFileOfSize(const std::string& path, std::uint64_t bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    std::vector<char> block(1 << 20, 'p');
    for (std::uint64_t written = 0; written < bytes;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), bytes - written));
        if (::write(fd, block.data(), count) != static_cast<ssize_t>(count))
            throw std::runtime_error("cannot write " + path);
        written += count;
    }
    ::close(fd);
}

void MakeTree(const std::string& root, std::uint64_t size)
{
    ::mkdir(root.c_str(), 0755);
    WriteFileOfSize(root + "/large.bin", size);
    const std::string small = root + "/small";
    ::mkdir(small.c_str(), 0755);
    for (int i = 0; i < kSmallFiles; ++i)
        WriteFileOfSize(small + "/f" + std::to_string(i), kSmallFileBytes);
}

TRunTime RunOurs(const std::string& source, const std::string& target)
{
    TFileOperationRequest request;
    request.Kind = TFileOperationKind::Copy;
    request.Sources = {source};
    request.TargetFolder = target;
    TFileOperationResult result;
    const TRunTime time = MeasureRun([&] { result = RunFileOperation(request); });
    if (!result.Completed)
        throw std::runtime_error("our copy failed");
    return time;
}

TRunTime RunPeer(const std::string& source, const std::string& target)
{
    int status = 0;
    const TRunTime time = MeasureRun([&] { status = RunProgram({"cp", "-r", source, target}); });
    if (status != 0)
        throw std::runtime_error("cp failed");
    return time;
}

void Clean(const std::string& target)
{
    if (RemoveTree(target + "/tree") != 0)
        throw std::runtime_error("cannot clean " + target);
    ::sync();
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string parent = "/tmp";
    int rounds = 5;
    std::uint64_t size = 256ull << 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (arg == "--size" && i + 1 < argc)
            size = std::strtoull(argv[++i], nullptr, 10);
        else
            parent = arg;
    }
    try {
        TScratchFolder scratch(parent);
        const std::string source = scratch.Path() + "/tree";
        const std::string target = scratch.Path() + "/out";
        MakeTree(source, size);
        ::mkdir(target.c_str(), 0755);
        ::sync();
        std::vector<TRunTime> ours;
        std::vector<TRunTime> peer;
        for (int round = 0; round < rounds; ++round) {
            const bool peerFirst = round % 2 == 1;
            for (int side = 0; side < 2; ++side) {
                if ((side == 0) != peerFirst)
                    ours.push_back(RunOurs(source, target));
                else
                    peer.push_back(RunPeer(source, target));
                Clean(target);
            }
        }
        std::printf("load %s\n", LoadAverages().c_str());
        std::printf("ours %s (cpu %s)\n", FormatSeconds(WallMedian(ours)).c_str(),
                    FormatSeconds(CpuMedian(ours)).c_str());
        std::printf("cp   %s (cpu %s)\n", FormatSeconds(WallMedian(peer)).c_str(),
                    FormatSeconds(CpuMedian(peer)).c_str());
        std::printf("RATIO copy_vs_cp %.3f\n", WallMedian(ours) / WallMedian(peer));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fileops-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
