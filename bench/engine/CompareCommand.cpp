#include "bench/engine/CompareCommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchOptions.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/QuietHost.h"
#include "bench/support/TPinnedFile.h"
#include "bench/support/TScratchFolder.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/split/TSplitOperation.h"

namespace {

// One GiB: large enough that per-call costs vanish, small enough for the page cache.
constexpr std::uint64_t kCompareFileSize = std::uint64_t{1} << 30;
// The peer leads every second round; seven rounds give a true middle value that
// single runs on a shared virtual machine, which swing by a factor of two, move little.
constexpr int kCompareRounds = 7;

struct TCompareSetup
{
    std::string SplitFolder;  // the source and, during a split round, its pieces
    std::string Source;
    std::string JoinFolder;  // a fixed series of pieces whose base name is free
    std::string JoinBase;
    std::vector<std::string> JoinPieces;
    std::uint64_t FileSize = 0;
    std::uint64_t PieceSize = 0;
    std::uint64_t PieceCount = 0;  // what our split writes, an empty last piece included
    TTransferSettings Transfer;
    std::string Self;        // this program, which runs our side
    std::string OutputFile;  // what our side printed in its last run
};

struct TSideTimes
{
    std::vector<TRunTime> Ours;
    std::vector<TRunTime> Peer;
};

std::string FormatRun(const TRunTime& time)
{
    return FormatSeconds(time.Wall) + " (cpu " + FormatSeconds(time.Cpu) + ")";
}

void Require(bool condition, const std::string& what)
{
    if (!condition)
        throw std::runtime_error(what);
}

std::uint64_t CountEntries(const std::string& folder)
{
    std::uint64_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

std::string DescribeTransfer(const TTransferSettings& transfer)
{
    const char* method = transfer.Method == TTransferSettings::TMethod::Buffer ? "buffer" : "kernel copy";
    return std::string(method) + (transfer.TransferSize == 0
                                      ? " of the default size"
                                      : " of " + std::to_string(transfer.TransferSize) + " bytes");
}

// Runs both sides of each round, the leader alternating, and cleans up after each run.
TSideTimes RunRounds(int rounds, const char* title, const std::function<TRunTime(int)>& ours,
                     const std::function<TRunTime(int)>& peer, const std::function<void()>& cleanUp)
{
    TSideTimes times;
    for (int round = 0; round < rounds; ++round) {
        const bool oursFirst = round % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            const bool oursNow = (side == 0) == oursFirst;
            (oursNow ? times.Ours : times.Peer).push_back((oursNow ? ours : peer)(round));
            cleanUp();
        }
        std::cout << title << " round " << round + 1 << ": ours " << FormatRun(times.Ours.back()) << ", peer "
                  << FormatRun(times.Peer.back()) << std::endl;
    }
    return times;
}

// This program itself, run once per round for our side as the peer is, so that
// both sides start as fresh processes and nothing of the benchmark's own process
// (its earlier rounds, its children) weighs on ours alone.
std::string SelfPath()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    Require(!error, "cannot find this program's own file");
    return self.string();
}

std::vector<std::string> TransferArguments(const TTransferSettings& transfer)
{
    if (transfer.TransferSize == 0)
        return {};
    return {transfer.Method == TTransferSettings::TMethod::Buffer ? "--buffer" : "--kernel-copy",
            std::to_string(transfer.TransferSize)};
}

// Runs this program with a command and requires it to end with an information
// box and no other box.
TRunTime TimeOurCommand(const TCompareSetup& setup, std::vector<std::string> argv, const std::string& what)
{
    argv.insert(argv.begin(), setup.Self);
    const std::vector<std::string> transfer = TransferArguments(setup.Transfer);
    argv.insert(argv.end(), transfer.begin(), transfer.end());
    const std::string output = setup.OutputFile;
    int status = 0;
    const TRunTime seconds = MeasureRun([&] { status = RunProgram(argv, output); });
    std::ifstream in(output);
    bool finished = false;
    bool troubled = status != 0;
    for (std::string line; std::getline(in, line);) {
        finished = finished || line.rfind("BOX\tinformation\t", 0) == 0;
        troubled = troubled || (line.rfind("BOX\t", 0) == 0 && line.rfind("BOX\tinformation\t", 0) != 0);
    }
    Require(finished && !troubled, what + " did not finish cleanly; its output is in " + output);
    return seconds;
}

TRunTime TimeOurSplit(const TCompareSetup& setup, int)
{
    const TRunTime seconds =
        TimeOurCommand(setup, {"split", setup.Source, std::to_string(setup.PieceSize)}, "our split");
    // The source, the pieces and their checksum file.
    Require(CountEntries(setup.SplitFolder) == setup.PieceCount + 2, "our split wrote a wrong number of pieces");
    return seconds;
}

TRunTime TimeCoreutilsSplit(const TCompareSetup& setup, int)
{
    const std::vector<std::string> argv = {
        "split",           "-b", std::to_string(setup.PieceSize), "-a", "4", "--numeric-suffixes=1", setup.Source,
        setup.Source + "."};
    int status = 0;
    const TRunTime seconds = MeasureRun([&] { status = RunProgram(argv); });
    Require(status == 0, "coreutils split failed");
    return seconds;
}

TRunTime TimeOurJoin(const TCompareSetup& setup, int round)
{
    const TRunTime seconds = TimeOurCommand(setup, {"join", setup.JoinPieces.front(), "--no"}, "our join");
    if (round == 0)
        Require(FilesEqual(setup.JoinBase, setup.Source), "our join did not rebuild the file");
    return seconds;
}

TRunTime TimeCat(const TCompareSetup& setup, int round, std::vector<double>& flushTimes)
{
    const std::string target = setup.JoinFolder + "/cat.out";
    std::vector<std::string> argv = {"cat"};
    argv.insert(argv.end(), setup.JoinPieces.begin(), setup.JoinPieces.end());
    int status = 0;
    const TRunTime seconds = MeasureRun([&] { status = RunProgram(argv, target); });
    Require(status == 0, "cat failed");
    // Our join leaves its result on disk; cat does not. What flushing cat's
    // result would add is timed apart and only reported.
    flushTimes.push_back(TimeSeconds([&] {
        const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
        Require(fd >= 0 && fsync(fd) == 0, "cannot flush cat's result");
        close(fd);
    }));
    if (round == 0)
        Require(FilesEqual(target, setup.Source), "cat did not rebuild the file");
    return seconds;
}

TCompareSetup Prepare(const std::string& scratch, const TBenchOptions& options)
{
    TCompareSetup setup;
    setup.FileSize = options.FileSize;
    setup.PieceSize = options.PieceSize;
    setup.Transfer = options.Transfer;
    setup.Self = SelfPath();
    setup.OutputFile = scratch + "/ours.out";
    setup.PieceCount = options.FileSize / options.PieceSize + 1;
    setup.SplitFolder = scratch + "/split";
    setup.JoinFolder = scratch + "/join";
    std::filesystem::create_directory(setup.SplitFolder);
    std::filesystem::create_directory(setup.JoinFolder);
    setup.Source = setup.SplitFolder + "/source.bin";
    setup.JoinBase = setup.JoinFolder + "/data.bin";
    MakeTestFile(setup.Source, setup.FileSize);
    return setup;
}

// The join's pieces come from our split of a second name for the source, which
// then goes, so the join writes a fresh file and asks nothing. They are made
// only for the join rounds, so that the split rounds run with the page cache
// holding the source alone.
void MakeJoinPieces(TCompareSetup& setup)
{
    std::filesystem::create_hard_link(setup.Source, setup.JoinBase);
    TQuietReport report;
    TSplitOperation(MakeQuietHost(report)).SplitFile(setup.JoinBase, static_cast<std::int64_t>(setup.PieceSize));
    RequireSuccess(report, "the split that makes the join's pieces");
    std::filesystem::remove(setup.JoinBase);
    for (std::uint64_t number = 1; number <= setup.PieceCount; ++number) {
        // A series that ends in an empty piece is only joined whole by cat
        // when every piece is named, the empty one included.
        setup.JoinPieces.push_back(PieceFileName(setup.JoinBase, static_cast<std::int64_t>(number)));
        Require(std::filesystem::exists(setup.JoinPieces.back()), "a piece of the join's series is missing");
    }
    SyncFileSystem(setup.JoinFolder);
}

// Locks the files in the page cache; says whether that worked for all.
bool PinFiles(const std::vector<std::string>& paths, std::vector<std::unique_ptr<TPinnedFile>>& pins)
{
    bool allLocked = true;
    for (const std::string& path : paths) {
        pins.push_back(std::make_unique<TPinnedFile>(path));
        allLocked = allLocked && pins.back()->Locked();
    }
    return allLocked;
}

void PrintSummary(const char* title, const char* peerName, const TSideTimes& times, std::uint64_t bytes)
{
    const double ours = WallMedian(times.Ours);
    const double peer = WallMedian(times.Peer);
    std::cout << title << " median: ours " << FormatSeconds(ours) << " (" << FormatRate(double(bytes), ours) << ", cpu "
              << FormatSeconds(CpuMedian(times.Ours)) << "), " << peerName << ' ' << FormatSeconds(peer) << " ("
              << FormatRate(double(bytes), peer) << ", cpu " << FormatSeconds(CpuMedian(times.Peer)) << ")"
              << std::endl;
}

}  // namespace

int RunCompareCommand(const std::vector<std::string>& args)
{
    TBenchOptions defaults;
    defaults.Rounds = kCompareRounds;
    defaults.FileSize = kCompareFileSize;
    defaults.PieceSize = kWindowPieceSize;
    const auto options = ParseCommandOptions("compare", args, defaults);
    if (!options)
        return 2;
    try {
        const TScratchFolder scratch(options->Folder);
        std::cout << "file " << options->FileSize << " bytes, piece size " << options->PieceSize << ", "
                  << options->Rounds << " rounds each, in " << scratch.Path()
                  << "; our transfer: " << DescribeTransfer(options->Transfer) << std::endl;
        TCompareSetup setup = Prepare(scratch.Path(), *options);
        std::vector<std::unique_ptr<TPinnedFile>> pins;
        std::cout << "source locked in the page cache: " << (PinFiles({setup.Source}, pins) ? "yes" : "no")
                  << std::endl;
        std::cout << "load before: " << LoadAverages() << std::endl;

        const auto clearSplit = [&] {
            ClearFolder(setup.SplitFolder, {"source.bin"});
            SyncFileSystem(setup.SplitFolder);
        };
        const TSideTimes split = RunRounds(
            options->Rounds, "split", [&](int round) { return TimeOurSplit(setup, round); },
            [&](int round) { return TimeCoreutilsSplit(setup, round); }, clearSplit);

        MakeJoinPieces(setup);
        std::cout << "pieces locked in the page cache: " << (PinFiles(setup.JoinPieces, pins) ? "yes" : "no")
                  << std::endl;
        std::vector<double> catFlushTimes;
        const auto clearJoin = [&] {
            std::filesystem::remove(setup.JoinBase);
            std::filesystem::remove(setup.JoinFolder + "/cat.out");
            SyncFileSystem(setup.JoinFolder);
        };
        const TSideTimes join = RunRounds(
            options->Rounds, "join", [&](int round) { return TimeOurJoin(setup, round); },
            [&](int round) { return TimeCat(setup, round, catFlushTimes); }, clearJoin);

        std::cout << "load after: " << LoadAverages() << std::endl;
        PrintSummary("split", "coreutils split", split, setup.FileSize);
        PrintSummary("join", "cat", join, setup.FileSize);
        const double cat = WallMedian(join.Peer);
        const double catFlush = Median(catFlushTimes);
        std::printf("cat's result flushed to disk, as our join does, would add %s: join against cat and flush %.3f\n",
                    FormatSeconds(catFlush).c_str(), WallMedian(join.Ours) / (cat + catFlush));
        std::printf("processor time: split against coreutils %.3f, join against cat %.3f\n",
                    CpuMedian(split.Ours) / CpuMedian(split.Peer), CpuMedian(join.Ours) / CpuMedian(join.Peer));
        std::printf("RATIO split_vs_coreutils %.3f\n", WallMedian(split.Ours) / WallMedian(split.Peer));
        std::printf("RATIO join_vs_cat %.3f\n", WallMedian(join.Ours) / cat);
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "parzello-bench: " << error.what() << '\n';
        return 1;
    }
}
