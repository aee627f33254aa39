#include "bench/engine/ProgressCommand.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchOptions.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/QuietHost.h"
#include "bench/support/TPinnedFile.h"
#include "bench/support/TScratchFolder.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/join/TJoiner.h"
#include "engine/split/TSplitOperation.h"

namespace {

// The size the issue of the progress window is measured at.
constexpr std::uint64_t kProgressFileSize = std::uint64_t{1} << 30;
// Each side leads in turn, equally often; ten rounds give a middle value that a slow run does not move.
constexpr int kProgressRounds = 10;

// What the window's worker does with a report: hands it over under a lock.
struct TObserver
{
    std::mutex Mutex;
    TProgressReport Last;
    std::uint64_t Reports = 0;
};

TEngineHost ObservedHost(TQuietReport& report, TObserver& observer)
{
    TEngineHost host = MakeQuietHost(report);
    host.Progress = [&observer](const TProgressReport& progress) {
        const std::lock_guard lock(observer.Mutex);
        observer.Last = progress;
        ++observer.Reports;
        return true;
    };
    return host;
}

struct TSide
{
    std::string Name;
    std::function<void()> Run;
    std::vector<TRunTime> Times;
};

// Every side once a round, the leader moving on by one each round; cleanUp
// (which flushes the file system) comes before every run, outside its time.
void RunRounds(int rounds, const char* title, std::vector<TSide>& sides, const std::function<void()>& cleanUp)
{
    for (int round = 0; round < rounds; ++round) {
        std::cout << title << " round " << round + 1 << ':';
        for (std::size_t step = 0; step < sides.size(); ++step) {
            TSide& side = sides[(static_cast<std::size_t>(round) + step) % sides.size()];
            cleanUp();
            side.Times.push_back(MeasureRun(side.Run));
            std::cout << ' ' << side.Name << ' ' << FormatSeconds(side.Times.back().Wall);
        }
        std::cout << std::endl;
    }
    cleanUp();
}

// The middle of the rounds' own ratios, observed over plain: the two runs of
// a round follow each other, so drift of the machine over the rounds cancels.
double Ratio(const std::vector<const std::vector<TSide>*>& parts, double TRunTime::*measure = &TRunTime::Wall)
{
    std::vector<double> ratios;
    for (std::size_t round = 0; round < parts.front()->at(0).Times.size(); ++round) {
        double plain = 0;
        double observed = 0;
        for (const auto* sides : parts) {
            plain += (*sides)[0].Times[round].*measure;
            observed += (*sides)[1].Times[round].*measure;
        }
        ratios.push_back(observed / plain);
    }
    return Median(ratios);
}

}  // namespace

int RunProgressCommand(const std::vector<std::string>& args)
{
    TBenchOptions defaults;
    defaults.Rounds = kProgressRounds;
    defaults.FileSize = kProgressFileSize;
    defaults.PieceSize = kWindowPieceSize;
    const auto options = ParseCommandOptions("progress", args, defaults);
    if (!options)
        return 2;
    try {
        const TScratchFolder scratch(options->Folder);
        const std::string splitFolder = scratch.Path() + "/split";
        const std::string joinFolder = scratch.Path() + "/join";
        const std::string source = splitFolder + "/source.bin";
        const std::string joinBase = joinFolder + "/data.bin";
        const auto pieceSize = static_cast<std::int64_t>(options->PieceSize);
        const std::uint64_t pieceCount = options->FileSize / options->PieceSize + 1;
        std::filesystem::create_directory(splitFolder);
        std::filesystem::create_directory(joinFolder);
        MakeTestFile(source, options->FileSize);
        std::cout << "file " << options->FileSize << " bytes in " << pieceCount << " pieces, " << options->Rounds
                  << " rounds, in " << scratch.Path() << "; load " << LoadAverages() << std::endl;

        TObserver observer;
        double observedSeconds = 0;
        const auto split = [&](bool observed) {
            TQuietReport report;
            const TEngineHost host = observed ? ObservedHost(report, observer) : MakeQuietHost(report);
            TSplitOperation(host, options->Transfer).SplitFile(source, pieceSize);
            RequireSuccess(report, "the split");
        };
        const auto join = [&](bool observed) {
            TQuietReport report;
            const TEngineHost host = observed ? ObservedHost(report, observer) : MakeQuietHost(report);
            TJoiner(host, options->Transfer).JoinFile(joinBase);
            RequireSuccess(report, "the join");
        };
        std::vector<TSide> splits = {{"plain", [&] { split(false); }, {}},
                                     {"observed", [&] { observedSeconds += TimeSeconds([&] { split(true); }); }, {}}};
        {
            // The source stays in the page cache, so every run starts from the same warm file.
            const TPinnedFile pin(source);
            RunRounds(options->Rounds, "split", splits, [&] {
                ClearFolder(splitFolder, {"source.bin"});
                SyncFileSystem(splitFolder);
            });
        }

        // The join's pieces: a split of a second name for the source.
        std::filesystem::create_hard_link(source, joinBase);
        {
            TQuietReport report;
            TSplitOperation(MakeQuietHost(report), options->Transfer).SplitFile(joinBase, pieceSize);
            RequireSuccess(report, "the split that makes the join's pieces");
        }
        std::filesystem::remove(joinBase);
        std::filesystem::remove(source);
        std::vector<std::unique_ptr<TPinnedFile>> pins;
        for (std::uint64_t number = 1; number <= pieceCount; ++number)
            pins.push_back(std::make_unique<TPinnedFile>(PieceFileName(joinBase, static_cast<std::int64_t>(number))));
        std::vector<TSide> joins = {{"plain", [&] { join(false); }, {}},
                                    {"observed", [&] { observedSeconds += TimeSeconds([&] { join(true); }); }, {}}};
        RunRounds(options->Rounds, "join", joins, [&] {
            std::filesystem::remove(joinBase);
            SyncFileSystem(joinFolder);
        });
        pins.clear();

        std::cout << "load after: " << LoadAverages() << std::endl;
        for (const auto* sides : {&splits, &joins})
            for (const TSide& side : *sides)
                std::cout << "median " << side.Name << ' ' << FormatSeconds(WallMedian(side.Times)) << " (cpu "
                          << FormatSeconds(CpuMedian(side.Times)) << ')' << std::endl;
        std::printf("REPORTS per second %.1f\n",
                    observedSeconds > 0 ? static_cast<double>(observer.Reports) / observedSeconds : 0.0);
        // Processor time barely moves with other work on the machine.
        std::printf("CPU_RATIO progress_total %.3f\n", Ratio({&splits, &joins}, &TRunTime::Cpu));
        std::printf("RATIO progress_split %.3f\n", Ratio({&splits}));
        std::printf("RATIO progress_join %.3f\n", Ratio({&joins}));
        std::printf("RATIO progress_total %.3f\n", Ratio({&splits, &joins}));
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "parzello-bench: " << error.what() << '\n';
        return 1;
    }
}
