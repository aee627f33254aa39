#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench/support/BenchFiles.h"
#include "bench/support/BenchOptions.h"
#include "bench/support/BenchTiming.h"
#include "bench/support/ChildProcess.h"
#include "bench/support/PrintingHost.h"
#include "bench/support/QuietHost.h"
#include "bench/support/TPinnedFile.h"
#include "bench/support/TScratchFolder.h"

TEST(BenchSupport, ByteCountsTakeBinarySuffixesAndRefuseTheRest)
{
    EXPECT_EQ(ParseByteCount("1457664"), 1457664u);
    EXPECT_EQ(ParseByteCount("64K"), 65536u);
    EXPECT_EQ(ParseByteCount("8m"), 8u << 20);
    EXPECT_EQ(ParseByteCount("1G"), 1u << 30);
    for (const char* bad : {"", "0", "-1", " 5", "5 ", "5KB", "x", "99999999999999999999", "17179869184G"})
        EXPECT_FALSE(ParseByteCount(bad)) << bad;
}

TEST(BenchSupport, MedianOfOddEvenAndNoValues)
{
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(Median({}), 0);
    const std::vector<TRunTime> runs = {{3, 0.5}, {1, 0.25}, {2, 1}};
    EXPECT_EQ(WallMedian(runs), 2);
    EXPECT_EQ(CpuMedian(runs), 0.5);
}

TEST(BenchSupport, OptionsTakeOneFolderAndKnownFlags)
{
    const auto options = ParseBenchOptions({"/var/tmp", "--rounds", "3", "--piece", "1M"}, {});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->Folder, "/var/tmp");
    EXPECT_EQ(options->Rounds, 3);
    EXPECT_EQ(options->PieceSize, 1u << 20);
    EXPECT_FALSE(ParseBenchOptions({"a", "b"}, {}));
    EXPECT_FALSE(ParseBenchOptions({"--rounds"}, {}));
    EXPECT_FALSE(ParseBenchOptions({"--fast"}, {}));
}

TEST(BenchSupport, PrintedRecordsStayOnOneLine)
{
    EXPECT_EQ(EscapeField("a\tb\nc\\d"), "a\\tb\\nc\\\\d");
    std::ostringstream out;
    const TEngineHost host = MakePrintingHost(out, TBoxAnswer::Yes);
    host.Log("x\ty");
    EXPECT_EQ(host.ShowMessage(TBoxIcon::Question, "Frage", "Ersetzen?"), TBoxAnswer::Yes);
    EXPECT_EQ(host.ShowMessage(TBoxIcon::Warning, "W", "w"), TBoxAnswer::Ok);
    host.RefreshList();
    EXPECT_EQ(out.str(), "LOG\tx\\ty\nBOX\tquestion\tFrage\tErsetzen?\nBOX\twarning\tW\tw\nREFRESH\n");
}

TEST(BenchSupport, ScratchFolderGoesWithEverythingInIt)
{
    std::string path;
    {
        const TScratchFolder scratch(::testing::TempDir());
        path = scratch.Path();
        std::filesystem::create_directories(path + "/inner/deeper");
        MakeTestFile(path + "/inner/deeper/f", 3000);
        EXPECT_EQ(std::filesystem::file_size(path + "/inner/deeper/f"), 3000u);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(TScratchFolder("/nonexistent-folder/x"), std::runtime_error);
}

TEST(BenchSupport, FileChoresCompareAndClear)
{
    const TScratchFolder scratch(::testing::TempDir());
    const std::string a = scratch.Path() + "/a";
    const std::string b = scratch.Path() + "/b";
    MakeTestFile(a, 2'500'000);
    MakeTestFile(b, 2'500'000);
    EXPECT_TRUE(FilesEqual(a, b));
    std::filesystem::resize_file(b, 2'499'999);
    EXPECT_FALSE(FilesEqual(a, b));
    {
        std::fstream change(a, std::ios::in | std::ios::out | std::ios::binary);
        change.seekp(1'234'567);
        change.put('\0');
    }
    MakeTestFile(b, 2'500'000);
    EXPECT_FALSE(FilesEqual(a, b));

    std::filesystem::create_directory(scratch.Path() + "/sub");
    ClearFolder(scratch.Path(), {"a"});
    EXPECT_TRUE(std::filesystem::exists(a));
    EXPECT_FALSE(std::filesystem::exists(b));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path() + "/sub"));
}

TEST(BenchSupport, ChildProcessReportsExitAndRedirectsOutput)
{
    const TScratchFolder scratch(::testing::TempDir());
    const std::string out = scratch.Path() + "/out";
    EXPECT_EQ(RunProgram({"sh", "-c", "printf 'hallo\\n'; exit 3"}, out), 3);
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "hallo");
    EXPECT_EQ(RunProgram({"/nonexistent/program"}), 127);
    EXPECT_EQ(RunProgram({"sh", "-c", "kill -9 $$"}), -1);
}

TEST(BenchSupport, QuietRunsCountOnlyWhenTheyFinishWithoutQuestionsOrErrors)
{
    TQuietReport finished;
    const TEngineHost host = MakeQuietHost(finished);
    host.Log("egal");
    host.RefreshList();
    host.ShowMessage(TBoxIcon::Information, "Splitten beendet", "fertig");
    EXPECT_NO_THROW(RequireSuccess(finished, "split"));

    TQuietReport asked;
    EXPECT_EQ(MakeQuietHost(asked).ShowMessage(TBoxIcon::Question, "Zusammenfügen", "Ersetzen?"), TBoxAnswer::No);
    MakeQuietHost(asked).ShowMessage(TBoxIcon::Information, "Zusammenfügen beendet", "fertig");
    EXPECT_THROW(RequireSuccess(asked, "join"), std::runtime_error);

    TQuietReport failed;
    MakeQuietHost(failed).ShowMessage(TBoxIcon::Error, "Fehler", "kaputt");
    try {
        RequireSuccess(failed, "split");
        ADD_FAILURE() << "an error box passed";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("error: Fehler: kaputt"), std::string::npos) << error.what();
    }
    EXPECT_THROW(RequireSuccess(TQuietReport{}, "nothing"), std::runtime_error);
}

TEST(BenchSupport, PinnedFilesStayReadableAndMissingOnesThrow)
{
    const TScratchFolder scratch(::testing::TempDir());
    const std::string file = scratch.Path() + "/pinned";
    MakeTestFile(file, 100'000);
    {
        const TPinnedFile pin(file);
        // Locking memory needs the privilege root has; others may lack it.
        EXPECT_TRUE(pin.Locked() || geteuid() != 0);
        EXPECT_TRUE(FilesEqual(file, file));
    }
    MakeTestFile(scratch.Path() + "/empty", 0);
    EXPECT_NO_THROW(TPinnedFile(scratch.Path() + "/empty"));
    EXPECT_THROW(TPinnedFile(scratch.Path() + "/fehlt"), std::runtime_error);
}
