#include "bench/engine/LimitCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
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
#include "engine/core/TFileDescriptor.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/split/TSplitOperation.h"

namespace {

// Large enough that per-run costs shrink to their share, small enough for short runs.
constexpr std::uint64_t kLimitFileSize = std::uint64_t{512} << 20;
// Every side leads in turn; five rounds give a middle value that one slow run does not move.
constexpr int kLimitRounds = 5;

struct TSide
{
    std::string Name;
    std::function<TRunTime()> Run;
    std::vector<TRunTime> Times;
};

struct TLimitSetup
{
    std::string Self;        // this program, which runs our side as a child like the peers
    std::string OutputFile;  // what our side printed in its last run
    std::string SplitFolder;
    std::string Source;
    std::string JoinFolder;
    std::string JoinBase;
    std::string PeerChecksums;  // sha256sum's list of the join's pieces
    std::vector<std::string> JoinPieces;
    std::uint64_t PieceSize = 0;
    std::uint64_t PieceCount = 0;  // what our split writes, an empty last piece included
    TTransferSettings Transfer;
    long PeakSplitKiB = 0;  // the most memory one of our runs held
    long PeakJoinKiB = 0;
};

void Require(bool condition, const std::string& what)
{
    if (!condition)
        throw std::runtime_error(what);
}

// Runs every side once a round, the leader moving on by one each round, with
// cleanUp (which flushes the file system) before every run.
void RunRounds(int rounds, const char* title, std::vector<TSide>& sides, const std::function<void()>& cleanUp)
{
    for (int round = 0; round < rounds; ++round) {
        std::cout << title << " round " << round + 1 << ':';
        for (std::size_t step = 0; step < sides.size(); ++step) {
            TSide& side = sides[(static_cast<std::size_t>(round) + step) % sides.size()];
            cleanUp();
            side.Times.push_back(side.Run());
            std::cout << ' ' << side.Name << ' ' << FormatSeconds(side.Times.back().Wall);
        }
        std::cout << std::endl;
    }
    cleanUp();
}

TRunTime TimeOurs(const TLimitSetup& setup, std::vector<std::string> argv, const std::string& what, long& peakKiB)
{
    argv.insert(argv.begin(), setup.Self);
    if (setup.Transfer.TransferSize != 0) {
        argv.push_back(setup.Transfer.Method == TTransferSettings::TMethod::Buffer ? "--buffer" : "--kernel-copy");
        argv.push_back(std::to_string(setup.Transfer.TransferSize));
    }
    int status = 0;
    long peak = 0;
    const TRunTime time = MeasureRun([&] { status = RunProgram(argv, setup.OutputFile, &peak); });
    peakKiB = std::max(peakKiB, peak);
    std::ifstream in(setup.OutputFile);
    bool finished = false;
    bool troubled = status != 0;
    for (std::string line; std::getline(in, line);) {
        const bool information = line.rfind("BOX\tinformation\t", 0) == 0;
        finished = finished || information;
        troubled = troubled || (line.rfind("BOX\t", 0) == 0 && !information);
    }
    Require(finished && !troubled, what + " did not finish cleanly; its output is in " + setup.OutputFile);
    return time;
}

TRunTime TimePeer(const std::vector<std::string>& argv, const std::string& output = {})
{
    int status = 0;
    const TRunTime time = MeasureRun([&] { status = RunProgram(argv, output); });
    Require(status == 0, argv.front() + " failed");
    return time;
}

// A peer made of coreutils commands, as a user would type it: `script` runs in
// sh with the arguments as $1, $2, ...
TRunTime TimeShell(const std::string& script, const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"sh", "-c", script, "sh"};
    argv.insert(argv.end(), args.begin(), args.end());
    return TimePeer(argv);
}

// coreutils' split into pieces named as ours, then `more` (a command line that may use $1, the source).
TRunTime TimeCoreutilsSplit(const TLimitSetup& setup, const std::string& more = {})
{
    return TimeShell("split -b \"$2\" -a 4 --numeric-suffixes=1 \"$1\" \"$1.\"" + more,
                     {setup.Source, std::to_string(setup.PieceSize)});
}

// The least any split does: the bytes copied once by cp, and the pieces' names made.
TRunTime TimeFloor(const TLimitSetup& setup)
{
    return MeasureRun([&] {
        TimePeer({"cp", "--reflink=never", setup.Source, setup.SplitFolder + "/copy.bin"});
        for (std::uint64_t number = 1; number <= setup.PieceCount; ++number) {
            const std::string name = PieceFileName(setup.Source, static_cast<std::int64_t>(number));
            TFileDescriptor piece(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
            Require(piece.IsOpen() && piece.Close(), "cannot create " + name);
        }
    });
}

// cat of the pieces into a file, first checked by sha256sum, then flushed, as asked.
TRunTime TimeCat(const TLimitSetup& setup, bool check, bool flush)
{
    std::vector<std::string> args = {setup.JoinFolder + "/cat.out", setup.PeerChecksums};
    args.insert(args.end(), setup.JoinPieces.begin(), setup.JoinPieces.end());
    return TimeShell(std::string("out=$1 list=$2; shift 2; ") + (check ? "sha256sum -c --quiet \"$list\" && " : "") +
                         "cat \"$@\" > \"$out\"" + (flush ? " && sync \"$out\"" : ""),
                     args);
}

// The join's pieces: our split of a second name for the source, which then goes,
// and sha256sum's own list of them for the peer that checks.
void MakeJoinPieces(TLimitSetup& setup)
{
    std::filesystem::create_hard_link(setup.Source, setup.JoinBase);
    TQuietReport report;
    TSplitOperation(MakeQuietHost(report)).SplitFile(setup.JoinBase, static_cast<std::int64_t>(setup.PieceSize));
    RequireSuccess(report, "the split that makes the join's pieces");
    std::filesystem::remove(setup.JoinBase);
    std::vector<std::string> argv = {"sha256sum"};
    for (std::uint64_t number = 1; number <= setup.PieceCount; ++number) {
        setup.JoinPieces.push_back(PieceFileName(setup.JoinBase, static_cast<std::int64_t>(number)));
        argv.push_back(setup.JoinPieces.back());
    }
    TimePeer(argv, setup.PeerChecksums);
}

double Ratio(const std::vector<TSide>& sides, std::size_t ours, std::size_t peer)
{
    return WallMedian(sides[ours].Times) / WallMedian(sides[peer].Times);
}

void PrintMedians(const std::vector<TSide>& sides)
{
    for (const TSide& side : sides)
        std::cout << "median " << side.Name << ' ' << FormatSeconds(WallMedian(side.Times)) << " (cpu "
                  << FormatSeconds(CpuMedian(side.Times)) << ')' << std::endl;
}

}  // namespace

int RunLimitCommand(const std::vector<std::string>& args)
{
    TBenchOptions defaults;
    defaults.Rounds = kLimitRounds;
    defaults.FileSize = kLimitFileSize;
    defaults.PieceSize = kWindowPieceSize;
    const auto options = ParseCommandOptions("limit", args, defaults);
    if (!options)
        return 2;
    try {
        const TScratchFolder scratch(options->Folder);
        TLimitSetup setup;
        std::error_code error;
        setup.Self = std::filesystem::read_symlink("/proc/self/exe", error).string();
        Require(!error, "cannot find this program's own file");
        setup.OutputFile = scratch.Path() + "/ours.out";
        setup.SplitFolder = scratch.Path() + "/split";
        setup.JoinFolder = scratch.Path() + "/join";
        setup.Source = setup.SplitFolder + "/source.bin";
        setup.JoinBase = setup.JoinFolder + "/data.bin";
        setup.PeerChecksums = scratch.Path() + "/peer.sha256";
        setup.PieceSize = options->PieceSize;
        setup.PieceCount = options->FileSize / options->PieceSize + 1;
        setup.Transfer = options->Transfer;
        std::filesystem::create_directory(setup.SplitFolder);
        std::filesystem::create_directory(setup.JoinFolder);
        MakeTestFile(setup.Source, options->FileSize);
        std::cout << "file " << options->FileSize << " bytes in " << setup.PieceCount << " pieces, " << options->Rounds
                  << " rounds, in " << scratch.Path() << "; load " << LoadAverages() << std::endl;

        // Ours writes checksums and flushes every piece and its folder.
        std::vector<TSide> split = {
            {"ours",
             [&] {
                 return TimeOurs(setup, {"split", setup.Source, std::to_string(setup.PieceSize)}, "our split",
                                 setup.PeakSplitKiB);
             },
             {}},
            {"split+sha256sum+sync",
             [&] { return TimeCoreutilsSplit(setup, " && sha256sum \"$1\".[0-9]* > \"$1.sha256\" && sync"); },
             {}},
            {"split+sync", [&] { return TimeCoreutilsSplit(setup, " && sync"); }, {}},
            {"split", [&] { return TimeCoreutilsSplit(setup); }, {}},
            {"floor", [&] { return TimeFloor(setup); }, {}}};
        {
            // The source stays in the page cache, so every side starts from the same warm file.
            const TPinnedFile pin(setup.Source);
            RunRounds(options->Rounds, "split", split, [&] {
                ClearFolder(setup.SplitFolder, {"source.bin"});
                SyncFileSystem(setup.SplitFolder);
            });
        }

        MakeJoinPieces(setup);
        std::filesystem::remove(setup.Source);
        // Ours checks every piece and the whole file against the checksum file and flushes the result.
        std::vector<TSide> join = {
            {"ours",
             [&] {
                 return TimeOurs(setup, {"join", setup.JoinPieces.front(), "--no"}, "our join", setup.PeakJoinKiB);
             },
             {}},
            {"sha256sum+cat+sync", [&] { return TimeCat(setup, true, true); }, {}},
            {"cat+sync", [&] { return TimeCat(setup, false, true); }, {}},
            {"cat", [&] { return TimeCat(setup, false, false); }, {}}};
        {
            std::vector<std::unique_ptr<TPinnedFile>> pins;
            for (const std::string& piece : setup.JoinPieces)
                pins.push_back(std::make_unique<TPinnedFile>(piece));
            RunRounds(options->Rounds, "join", join, [&] {
                std::filesystem::remove(setup.JoinBase);
                std::filesystem::remove(setup.JoinFolder + "/cat.out");
                SyncFileSystem(setup.JoinFolder);
            });
        }

        std::cout << "load after: " << LoadAverages() << std::endl;
        PrintMedians(split);
        PrintMedians(join);
        std::printf("PEAK_MEMORY split %.1f MiB, join %.1f MiB\n", double(setup.PeakSplitKiB) / 1024,
                    double(setup.PeakJoinKiB) / 1024);
        std::printf("RATIO split_vs_coreutils %.3f\n", Ratio(split, 0, 3));
        std::printf("RATIO split_vs_floor %.3f\n", Ratio(split, 0, 4));
        std::printf("RATIO join_vs_cat %.3f\n", Ratio(join, 0, 3));
        std::printf("RATIO split_vs_split_sha256sum_sync %.3f\n", Ratio(split, 0, 1));
        std::printf("RATIO split_vs_split_sync %.3f\n", Ratio(split, 0, 2));
        std::printf("RATIO join_vs_sha256sum_cat_sync %.3f\n", Ratio(join, 0, 1));
        std::printf("RATIO join_vs_cat_sync %.3f\n", Ratio(join, 0, 2));
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "parzello-bench: " << error.what() << '\n';
        return 1;
    }
}
