#include "bench/engine/TransferCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchOptions.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/QuietHost.h"
#include "bench/support/TPinnedFile.h"
#include "bench/support/TScratchFolder.h"
#include "engine/join/TJoinRequest.h"
#include "engine/split/TSplitOperation.h"

namespace {

// Large enough to dwarf per-call costs, small enough to run each setting often.
constexpr std::uint64_t kTransferFileSize = std::uint64_t{64} << 20;
// Single runs swing by a factor of two on a shared virtual machine; the median
// of eleven holds still.
constexpr int kTransferRounds = 11;
// A smaller size is preferred unless a larger one is faster by more than this
// share: memory is bounded either way, but less is kinder.
constexpr double kSizeTolerance = 0.03;

using TMethod = TTransferSettings::TMethod;

struct TSetting
{
    TMethod Method;
    std::size_t Size;
    std::vector<TRunTime> WholeTimes;  // one piece as large as the file
    std::vector<TRunTime> PieceTimes;  // the window's default piece size
    std::vector<TRunTime> JoinTimes;   // joining those pieces again
};

std::vector<TSetting> AllSettings()
{
    std::vector<TSetting> settings;
    for (const std::size_t kib : {64, 128, 256, 1024, 2048, 4096, 8192})
        settings.push_back({TMethod::Buffer, kib * 1024, {}, {}, {}});
    // The kernel cuts a large copy into its own steps, so few sizes tell enough.
    for (const std::size_t kib : {64, 1024, 16384})
        settings.push_back({TMethod::KernelCopy, kib * 1024, {}, {}, {}});
    return settings;
}

const char* MethodName(TMethod method)
{
    return method == TMethod::Buffer ? "buffer" : "kernel-copy";
}

TRunTime TimeSplit(const std::string& source, const TSetting& setting, std::uint64_t pieceSize)
{
    TQuietReport report;
    TSplitOperation split(MakeQuietHost(report), TTransferSettings{setting.Method, setting.Size});
    const TRunTime seconds = MeasureRun([&] { split.SplitFile(source, static_cast<std::int64_t>(pieceSize)); });
    RequireSuccess(report, "the split");
    return seconds;
}

TRunTime TimeJoin(const std::string& firstPiece, const TSetting& setting)
{
    TQuietReport report;
    TJoinRequest join(MakeQuietHost(report), TTransferSettings{setting.Method, setting.Size});
    const TRunTime seconds = MeasureRun([&] { join.CombineFile(firstPiece); });
    RequireSuccess(report, "the join");
    return seconds;
}

// All workloads move the same bytes, so their medians add up to one score. The
// splits are processor work from start to end (the pieces go before any
// write-back), so processor time measures them and, unlike elapsed time, does not
// swing with the other work on a shared machine. The join's elapsed time is the
// disk's (it flushes its result); its processor time is what the method changes.
double Score(const TSetting& setting)
{
    return CpuMedian(setting.WholeTimes) + CpuMedian(setting.PieceTimes) + CpuMedian(setting.JoinTimes);
}

// The fastest setting of a method, preferring smaller sizes within the tolerance.
const TSetting* Fastest(const std::vector<TSetting>& settings, TMethod method)
{
    double best = 0;
    for (const TSetting& setting : settings) {
        if (setting.Method == method && (best == 0 || Score(setting) < best))
            best = Score(setting);
    }
    for (const TSetting& setting : settings) {
        if (setting.Method == method && Score(setting) <= best * (1 + kSizeTolerance))
            return &setting;
    }
    return nullptr;
}

void PrintTable(const std::vector<TSetting>& settings)
{
    std::printf("medians in seconds; whole: split into one piece, pieces: split into default pieces, join: "
                "joining those; cpu: processor time; score: the three cpu medians added\n");
    std::printf("%-12s %9s %8s %8s %8s %8s %8s %8s %8s\n", "method", "size", "whole", "cpu", "pieces", "cpu", "join",
                "cpu", "score");
    for (const TSetting& setting : settings) {
        std::printf("%-12s %9zu %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f\n", MethodName(setting.Method), setting.Size,
                    WallMedian(setting.WholeTimes), CpuMedian(setting.WholeTimes), WallMedian(setting.PieceTimes),
                    CpuMedian(setting.PieceTimes), WallMedian(setting.JoinTimes), CpuMedian(setting.JoinTimes),
                    Score(setting));
    }
}

}  // namespace

int RunTransferCommand(const std::vector<std::string>& args)
{
    TBenchOptions defaults;
    defaults.Rounds = kTransferRounds;
    defaults.FileSize = kTransferFileSize;
    defaults.PieceSize = kWindowPieceSize;
    const auto options = ParseCommandOptions("transfer", args, defaults, false);
    if (!options)
        return 2;
    try {
        const TScratchFolder scratch(options->Folder);
        const std::string source = scratch.Path() + "/source.bin";
        MakeTestFile(source, options->FileSize);
        const TPinnedFile pin(source);
        const std::string joined = scratch.Path() + "/joined.bin";
        std::cout << "file " << options->FileSize << " bytes in " << scratch.Path() << "; splits into one piece"
                  << " (whole) and into pieces of " << options->PieceSize << " bytes (pieces); " << options->Rounds
                  << " rounds; source locked in the page cache: " << (pin.Locked() ? "yes" : "no") << std::endl;
        std::cout << "load before: " << LoadAverages() << std::endl;

        std::vector<TSetting> settings = AllSettings();
        for (int round = 0; round < options->Rounds; ++round) {
            // Each round starts at another setting, so none always runs first.
            for (std::size_t i = 0; i < settings.size(); ++i) {
                TSetting& setting = settings[(i + static_cast<std::size_t>(round)) % settings.size()];
                setting.WholeTimes.push_back(TimeSplit(source, setting, options->FileSize));
                // Dropping the pieces before write-back starts keeps the disk out of the figures.
                ClearFolder(scratch.Path(), {"source.bin"});
                SyncFileSystem(scratch.Path());

                // The pieces are cut from a second name of the source, which then
                // goes, so that the join writes a fresh file and asks nothing.
                std::filesystem::create_hard_link(source, joined);
                setting.PieceTimes.push_back(TimeSplit(joined, setting, options->PieceSize));
                std::filesystem::remove(joined);
                setting.JoinTimes.push_back(TimeJoin(joined + ".0001", setting));
                ClearFolder(scratch.Path(), {"source.bin"});
                SyncFileSystem(scratch.Path());
            }
            std::cout << "round " << round + 1 << " done" << std::endl;
        }
        std::cout << "load after: " << LoadAverages() << std::endl;

        PrintTable(settings);
        const TSetting* buffer = Fastest(settings, TMethod::Buffer);
        const TSetting* kernel = Fastest(settings, TMethod::KernelCopy);
        const TSetting* chosen = Score(*kernel) <= Score(*buffer) ? kernel : buffer;
        std::printf("FASTEST buffer %zu\n", buffer->Size);
        std::printf("FASTEST kernel-copy %zu\n", kernel->Size);
        std::printf("CHOSEN %s %zu\n", MethodName(chosen->Method), chosen->Size);
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "parzello-bench: " << error.what() << '\n';
        return 1;
    }
}
