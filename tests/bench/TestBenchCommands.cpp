#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/support/BenchFiles.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/TScratchFolder.h"

namespace {

namespace fs = std::filesystem;

struct TBenchRun
{
    int Status = -1;
    std::vector<std::string> Lines;
};

class BenchCommands : public ::testing::Test
{
protected:
    TBenchRun Run(std::vector<std::string> args) const
    {
        args.insert(args.begin(), PARZELLO_BENCH_PATH);
        return RunCommand(args);
    }

    // Any command line, parzello-bench somewhere in it.
    TBenchRun RunCommand(const std::vector<std::string>& argv) const
    {
        const std::string out = scratch_.Path() + "/.bench-output";
        TBenchRun run;
        run.Status = RunProgram(argv, out);
        std::ifstream in(out);
        for (std::string line; std::getline(in, line);)
            run.Lines.push_back(line);
        fs::remove(out);
        return run;
    }

    // A folder whose name has a blank, as users' folders do.
    std::string Folder() const
    {
        const std::string folder = scratch_.Path() + "/meine Dateien";
        fs::create_directories(folder);
        return folder;
    }

    TScratchFolder scratch_{::testing::TempDir()};
};

std::vector<std::string> Lines(std::initializer_list<std::string> lines)
{
    return lines;
}

}  // namespace

TEST_F(BenchCommands, SplitPrintsTheLogLineTheCompletionBoxAndTheRefresh)
{
    const std::string source = Folder() + "/film.avi";
    MakeTestFile(source, 5000);

    const TBenchRun run = Run({"split", source, "2048"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Lines,
              Lines({"LOG\t" + source + ".0001",
                     "BOX\tinformation\tSplitten beendet\tDie Datei wurde in 3 Teile aufgeteilt.", "REFRESH"}));
    EXPECT_EQ(fs::file_size(source + ".0001"), 2048u);
    EXPECT_EQ(fs::file_size(source + ".0002"), 2048u);
    EXPECT_EQ(fs::file_size(source + ".0003"), 904u);
    EXPECT_FALSE(fs::exists(source + ".0004"));
}

TEST_F(BenchCommands, SplitOfAMissingFileShowsTheOpenFailureAndStillRefreshes)
{
    const std::string source = Folder() + "/fehlt.bin";

    const TBenchRun run = Run({"split", source, "1K"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Lines,
              Lines({"BOX\terror\tFehler\tDie Datei " + source + " konnte nicht geöffnet werden.", "REFRESH"}));
    EXPECT_FALSE(fs::exists(source + ".0001"));
}

TEST_F(BenchCommands, NamesWithTabsAndNewlinesStayOnOneLine)
{
    const std::string folder = Folder();
    MakeTestFile(folder + "/zwei\nZeilen\t.bin", 10);

    const TBenchRun run = Run({"split", folder + "/zwei\nZeilen\t.bin", "100"});

    ASSERT_EQ(run.Lines.size(), 3u);
    EXPECT_EQ(run.Lines[0], "LOG\t" + folder + "/zwei\\nZeilen\\t.bin.0001");
    EXPECT_EQ(fs::file_size(folder + "/zwei\nZeilen\t.bin.0001"), 10u);
}

TEST_F(BenchCommands, JoinRebuildsTheSplitFile)
{
    const std::string source = Folder() + "/film.avi";
    const std::string original = scratch_.Path() + "/original";
    MakeTestFile(original, 10000);
    fs::copy_file(original, source);
    ASSERT_EQ(Run({"split", source, "4096"}).Status, 0);
    fs::remove(source);

    const TBenchRun run = Run({"join", source + ".0002"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Lines, Lines({"LOG\tPrüfsummen geprüft: 3 Teile in Ordnung.",
                                "BOX\tinformation\tZusammenfügen beendet\tDie Datei " + source +
                                    " wurde aus 3 Teilen zusammengefügt.",
                                "REFRESH"}));
    EXPECT_TRUE(FilesEqual(source, original));
}

// Faults injected into the kernel's answers (strace): a piece whose flush
// fails, and the folder's flush after piece 1 got its name. Either fails the
// split, which then leaves nothing but the source. A file system that has no
// flush of folders at all is no failure.
TEST_F(BenchCommands, AFailedFlushFailsTheSplitAndLeavesNoPiece)
{
    if (RunProgram({"strace", "-o", "/dev/null", "true"}) != 0)
        GTEST_SKIP() << "strace cannot trace here";
    const std::string folder = Folder();
    const std::string source = folder + "/film.avi";
    MakeTestFile(source, 10000);
    const auto split = [&](const std::string& fault) {
        // The leak checker cannot work under ptrace.
        return RunCommand({"env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-f", "-o", "/dev/null", "-e", fault,
                           PARZELLO_BENCH_PATH, "split", source, "4096"});
    };
    for (const auto& [fault, piece] : std::vector<std::pair<std::string, std::string>>{
             {"inject=fdatasync:error=EIO:when=1", ".000"}, {"inject=fsync:error=EIO:when=2", ".0001"}}) {
        SCOPED_TRACE(fault);
        const TBenchRun run = split(fault);
        EXPECT_EQ(run.Status, 0);
        ASSERT_EQ(run.Lines.size(), 3u);
        const std::string box = "BOX\terror\tFehler\tDie Datei " + source + piece;
        EXPECT_EQ(run.Lines[1].substr(0, box.size()), box) << run.Lines[1];
        EXPECT_TRUE(run.Lines[1].ends_with(" konnte nicht geschrieben werden.")) << run.Lines[1];
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    const TBenchRun unsupported = split("inject=fsync:error=ENOSYS");
    ASSERT_EQ(unsupported.Lines.size(), 3u);
    EXPECT_EQ(unsupported.Lines[1], "BOX\tinformation\tSplitten beendet\tDie Datei wurde in 3 Teile aufgeteilt.");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 5);
}

TEST_F(BenchCommands, BothTransferMethodsGiveTheSameRoundTrip)
{
    const std::string folder = Folder();
    const std::string original = scratch_.Path() + "/original";
    MakeTestFile(original, 100'000);
    for (const std::vector<std::string>& transfer :
         std::vector<std::vector<std::string>>{{"--buffer", "1000"}, {"--kernel-copy", "3K"}, {"--buffer", "1M"}}) {
        const std::string source = folder + "/daten" + transfer[0] + transfer[1] + ".bin";
        fs::copy_file(original, source);
        std::vector<std::string> split = {"split", source, "30000"};
        split.insert(split.end(), transfer.begin(), transfer.end());
        EXPECT_EQ(Run(split).Lines[1], "BOX\tinformation\tSplitten beendet\tDie Datei wurde in 4 Teile aufgeteilt.");
        EXPECT_EQ(fs::file_size(source + ".0004"), 10'000u);
        fs::remove(source);

        std::vector<std::string> join = {"join", source + ".0003"};
        join.insert(join.end(), transfer.begin(), transfer.end());
        EXPECT_EQ(Run(join).Status, 0) << transfer[0];
        EXPECT_TRUE(FilesEqual(source, original)) << transfer[0];
    }
}

TEST_F(BenchCommands, JoinAsksBeforeReplacingAndHonoursTheAnswer)
{
    const std::string source = Folder() + "/film.avi";
    const std::string original = scratch_.Path() + "/original";
    MakeTestFile(original, 3000);
    fs::copy_file(original, source);
    ASSERT_EQ(Run({"split", source, "1000"}).Status, 0);
    fs::resize_file(source, 5);

    const std::string question =
        "BOX\tquestion\tZusammenfügen\tDie Datei " + source + " existiert bereits. Soll sie ersetzt werden?";
    const TBenchRun refused = Run({"join", source + ".0001"});
    EXPECT_EQ(refused.Lines, Lines({question, "REFRESH"}));
    EXPECT_EQ(fs::file_size(source), 5u);

    const TBenchRun explicitNo = Run({"--no", "join", source + ".0001"});
    EXPECT_EQ(explicitNo.Status, 2);
    EXPECT_EQ(Run({"join", "--no", source + ".0001"}).Lines, refused.Lines);
    EXPECT_EQ(fs::file_size(source), 5u);

    const TBenchRun accepted = Run({"join", source + ".0004", "--yes"});
    EXPECT_EQ(accepted.Lines, Lines({question, "LOG\tPrüfsummen geprüft: 4 Teile in Ordnung.",
                                     "BOX\tinformation\tZusammenfügen beendet\tDie Datei " + source +
                                         " wurde aus 4 Teilen zusammengefügt.",
                                     "REFRESH"}));
    EXPECT_TRUE(FilesEqual(source, original));
}

TEST_F(BenchCommands, JoinRejectsAFileThatIsNoPiece)
{
    const std::string picked = Folder() + "/film.avi";
    MakeTestFile(picked, 10);

    const TBenchRun run = Run({"join", picked});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Lines,
              Lines({"BOX\terror\tFehler\tDiese Datei ist kein Teil einer von diesem Programm geteilten Datei."}));
}

TEST_F(BenchCommands, TransferMeasurementNamesItsChoiceAndLeavesNothingBehind)
{
    const std::string folder = Folder();

    const TBenchRun run = Run({"transfer", folder, "--size", "1M", "--rounds", "1"});

    EXPECT_EQ(run.Status, 0);
    ASSERT_GE(run.Lines.size(), 3u);
    const auto end = run.Lines.end();
    EXPECT_EQ(end[-3].rfind("FASTEST buffer ", 0), 0u) << end[-3];
    EXPECT_EQ(end[-2].rfind("FASTEST kernel-copy ", 0), 0u) << end[-2];
    const std::string chosen = end[-1];
    EXPECT_TRUE(chosen == "CHOSEN buffer " + end[-3].substr(15) || chosen == "CHOSEN kernel-copy " + end[-2].substr(20))
        << chosen;
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(BenchCommands, LimitMeasurementEndsInItsMemoryAndRatiosAndLeavesNothingBehind)
{
    const std::string folder = Folder();

    const TBenchRun run = Run({"limit", folder, "--size", "3M", "--rounds", "1"});

    EXPECT_EQ(run.Status, 0);
    ASSERT_GE(run.Lines.size(), 8u);
    const auto end = run.Lines.end();
    EXPECT_EQ(end[-8].rfind("PEAK_MEMORY split ", 0), 0u) << end[-8];
    const char* names[] = {"split_vs_coreutils ",  "split_vs_floor ",
                           "join_vs_cat ",         "split_vs_split_sha256sum_sync ",
                           "split_vs_split_sync ", "join_vs_sha256sum_cat_sync ",
                           "join_vs_cat_sync "};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(end[i - 7].rfind(std::string("RATIO ") + names[i], 0), 0u) << end[i - 7];
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(BenchCommands, ProgressMeasurementEndsInItsRatiosAndLeavesNothingBehind)
{
    const std::string folder = Folder();

    const TBenchRun run = Run({"progress", folder, "--size", "3M", "--piece", "1M", "--rounds", "1"});

    EXPECT_EQ(run.Status, 0);
    ASSERT_GE(run.Lines.size(), 3u);
    const auto end = run.Lines.end();
    const char* names[] = {"progress_split ", "progress_join ", "progress_total "};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(end[i - 3].rfind(std::string("RATIO ") + names[i], 0), 0u) << end[i - 3];
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(BenchCommands, BadArgumentsGetTheUsageAndExitCodeTwo)
{
    const std::string file = Folder() + "/f";
    MakeTestFile(file, 10);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"teilen"},
                                               {"split", file},
                                               {"split", file, "0"},
                                               {"split", file, "12Q"},
                                               {"join"},
                                               {"join", file, file},
                                               {"join", file, "--vielleicht"},
                                               {"compare", "a", "b"},
                                               {"limit", "--piece", "0"},
                                               {"progress", "--rounds", "0"},
                                               {"transfer", "--rounds", "0"},
                                               {"transfer", "--size"},
                                               {"split", file, "10", "--buffer"},
                                               {"split", file, "10", "--kernel-copy", "0"},
                                               {"join", file, "--buffer", "2G"}}) {
        const TBenchRun run = Run(args);
        EXPECT_EQ(run.Status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(run.Lines.empty());
    }
    EXPECT_FALSE(fs::exists(file + ".0001"));
}
