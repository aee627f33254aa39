#include "EngineTestSupport.h"

#include "engine/join/TJoinRequest.h"
#include "engine/join/TJoiner.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/split/PieceSizes.h"
#include "engine/split/SplitPrechecks.h"
#include "engine/split/TSplitOperation.h"
#include "tests/support/TFatMount.h"
#include "tests/support/TTmpfsMount.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kFloppy = 1457664;

const char* kDone = "Splitten beendet";

std::string Pieces(const std::string& source, std::size_t count)
{
    std::string all;
    for (std::size_t number = 1; number <= count; ++number)
        all += ReadFileBytes(PieceFileName(source, static_cast<std::int64_t>(number)));
    return all;
}

class SplitLayout : public testing::TestWithParam<TTransferSettings>
{
protected:
    // Splits a fresh source of `length` bytes and checks every piece against the layout.
    void CheckSplit(std::size_t length, std::int64_t pieceSize)
    {
        SCOPED_TRACE("length " + std::to_string(length) + ", piece size " + std::to_string(pieceSize));
        const TTempDir dir;
        const std::string source = dir / "film.avi";
        const std::string bytes = PatternBytes(length);
        WriteFileBytes(source, bytes);
        TRecordingHost recorder;
        const std::int64_t written = TSplitOperation(recorder.Host(), GetParam()).SplitFile(source, pieceSize);

        const std::size_t count = length / static_cast<std::size_t>(pieceSize) + 1;
        EXPECT_EQ(written, static_cast<std::int64_t>(count));
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Information);
        EXPECT_EQ(recorder.Boxes[0].Caption, kDone);
        EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei wurde in " + std::to_string(count) + " Teile aufgeteilt.");
        EXPECT_EQ(recorder.Logs, std::vector<std::string>{dir / "film.avi.0001"});
        EXPECT_EQ(recorder.Refreshes, 1);
        for (std::size_t number = 1; number <= count; ++number) {
            const auto expected = number < count ? pieceSize : static_cast<std::int64_t>(length % pieceSize);
            EXPECT_EQ(StatOf(PieceFileName(source, static_cast<std::int64_t>(number))).st_size, expected);
        }
        EXPECT_FALSE(PathExists(PieceFileName(source, static_cast<std::int64_t>(count) + 1)));
        EXPECT_EQ(Pieces(source, count), bytes);
    }
};

TEST_P(SplitLayout, PiecesFollowTheLayout)
{
    CheckSplit(0, 5);
    CheckSplit(5, 5);
    CheckSplit(6, 5);
    CheckSplit(3, 1);
    CheckSplit(10, 5);
    CheckSplit(3000000, kFloppy);
    CheckSplit(100000, 4096);
    CheckSplit(500, 7);
}

TEST_P(SplitLayout, PieceSizesBeyond32BitsGiveOnePiece)
{
    CheckSplit(5000, std::int64_t{3} << 30);
    CheckSplit(5000, INT64_MAX);
    CheckSplit(5000, 5001);
}

INSTANTIATE_TEST_SUITE_P(Methods, SplitLayout,
                         testing::Values(TTransferSettings{TTransferSettings::TMethod::Buffer, 2048},
                                         TTransferSettings{TTransferSettings::TMethod::Buffer, 0},
                                         TTransferSettings{TTransferSettings::TMethod::KernelCopy, 0},
                                         TTransferSettings{TTransferSettings::TMethod::KernelCopy, 3000}),
                         [](const testing::TestParamInfo<TTransferSettings>& info) {
                             const bool kernel = info.param.Method == TTransferSettings::TMethod::KernelCopy;
                             return std::string(kernel ? "KernelCopy" : "Buffer") +
                                    std::to_string(info.param.TransferSize);
                         });

TEST(Split, FullPiecesAreFilledBy711ReadsOf2048BytesAndOneOf1536)
{
    const TTempDir dir;
    const std::string source = dir / "disk.img";
    WriteFileBytes(source, PatternBytes(2 * kFloppy + 1000));
    std::vector<std::uint64_t> steps;
    std::uint64_t last = 0;
    TRecordingHost recorder;
    recorder.OnProgress = [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, 2 * kFloppy + 1000);
        steps.push_back(done - last);
        last = done;
        return true;
    };
    TSplitOperation(recorder.Host(), {TTransferSettings::TMethod::Buffer, 2048}).SplitFile(source, kFloppy);

    std::vector<std::uint64_t> expected;
    for (int piece = 0; piece < 2; ++piece) {
        expected.insert(expected.end(), 711, 2048);
        expected.push_back(1536);
    }
    expected.push_back(1000);
    expected.push_back(0);  // the report at the end, where the work may still be stopped
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(recorder.Boxes.back().Text, "Die Datei wurde in 3 Teile aufgeteilt.");
}

TEST(Split, EveryPieceCarriesTheSourceTimesAndTheLastGetsThemAfterTheMessage)
{
    const TTempDir dir;
    const std::string source = dir / "a b\nc\xff";
    WriteFileBytes(source, PatternBytes(10));
    SetFileTimes(source, 1000000000, 1100000000);
    TRecordingHost recorder;
    recorder.OnBox = [&](const TShownBox&) {
        EXPECT_EQ(StatOf(PieceFileName(source, 1)).st_mtime, 1100000000);
        EXPECT_EQ(StatOf(PieceFileName(source, 2)).st_mtime, 1100000000);
        EXPECT_NE(StatOf(PieceFileName(source, 3)).st_mtime, 1100000000);
    };
    TSplitOperation(recorder.Host()).SplitFile(source, 5);

    ASSERT_EQ(recorder.Boxes.size(), 1u);
    for (std::int64_t number = 1; number <= 3; ++number) {
        const struct stat status = StatOf(PieceFileName(source, number));
        EXPECT_EQ(status.st_atime, 1000000000) << number;
        EXPECT_EQ(status.st_mtime, 1100000000) << number;
    }
    EXPECT_EQ(recorder.Events.back(), "REFRESH");
}

// A private file does not become readable by others through its pieces.
TEST(Split, PiecesTakeTheSourcesPermissionsAndStayWritableForTheOwner)
{
    const TTempDir dir;
    for (const auto& [mode, expected] :
         std::vector<std::pair<mode_t, mode_t>>{{0600, 0600}, {0640, 0640}, {0444, 0644}, {0755, 0644}}) {
        WriteFileBytes(dir / "a", "abc");
        ASSERT_EQ(::chmod((dir / "a").c_str(), mode), 0);
        TRecordingHost recorder;
        TSplitOperation(recorder.Host()).SplitFile(dir / "a", 2);
        EXPECT_EQ(StatOf(dir / "a.0001").st_mode & 07777, expected) << std::oct << mode;
        EXPECT_EQ(StatOf(dir / "a.0002").st_mode & 07777, expected) << std::oct << mode;
    }
}

TEST(Split, ExistingPiecesAreReplacedWithoutAQuestion)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "0123456789");
    WriteFileBytes(dir / "a.0001", PatternBytes(100000));
    WriteFileBytes(dir / "a.0003", "old");
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(source, 6);

    EXPECT_EQ(ReadFileBytes(dir / "a.0001"), "012345");
    EXPECT_EQ(ReadFileBytes(dir / "a.0002"), "6789");
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Caption, kDone);
}

// A piece gets a new file of its own: whatever its name pointed at keeps its data.
TEST(Split, PiecesNeverWriteIntoFilesTheirNamesPointedAt)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "0123456789");
    WriteFileBytes(dir / "other", "keep me");
    ASSERT_EQ(::symlink((dir / "other").c_str(), (dir / "a.0001").c_str()), 0);
    ASSERT_EQ(::link(source.c_str(), (dir / "a.0002").c_str()), 0);
    WriteFileBytes(dir / "shared", "shared data");
    ASSERT_EQ(::link((dir / "shared").c_str(), (dir / "a.0003").c_str()), 0);
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(source, 4);

    EXPECT_EQ(ReadFileBytes(dir / "other"), "keep me");
    EXPECT_EQ(ReadFileBytes(source), "0123456789");
    EXPECT_EQ(ReadFileBytes(dir / "shared"), "shared data");
    EXPECT_EQ(Pieces(source, 3), "0123456789");
    struct stat status
    {};
    ASSERT_EQ(::lstat((dir / "a.0001").c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(recorder.Boxes.back().Text, "Die Datei wurde in 3 Teile aufgeteilt.");
}

// Here the source's data has no name but the one piece 1 would take from it.
TEST(Split, NeverTakesTheLastNameOfTheSourcesData)
{
    const TTempDir dir;
    WriteFileBytes(dir / "a.0001", "precious");
    ASSERT_EQ(::symlink("a.0001", (dir / "a").c_str()), 0);
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(dir / "a", 4);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + dir / "a.0001" + " konnte nicht erstellt werden.");
    EXPECT_EQ(ReadFileBytes(dir / "a.0001"), "precious");
}

TEST(Split, AnImmutableSourceCanBeSplitBecauseItIsOnlyRead)
{
    const TTempDir dir;
    const std::string source = dir / "locked";
    WriteFileBytes(source, "abcdef");
    const TImmutableGuard guard(source);
    if (!guard.Active())
        GTEST_SKIP() << "chattr +i needs the superuser";
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(source, 4);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Caption, kDone);
    EXPECT_EQ(Pieces(source, 2), "abcdef");
}

TEST(Split, SourcesThatCannotBeOpenedAsFilesAreRefused)
{
    const TTempDir dir;
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "broken").c_str()), 0);
    for (const std::string& source : {dir / "missing", dir / "no such folder/file", dir / "folder", dir / "fifo",
                                      dir / "broken", std::string("/dev/null")}) {
        SCOPED_TRACE(source);
        TRecordingHost recorder;
        EXPECT_EQ(TSplitOperation(recorder.Host()).SplitFile(source, 4), 0);
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Error);
        EXPECT_EQ(recorder.Boxes[0].Caption, "Fehler");
        EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + source + " konnte nicht geöffnet werden.");
        EXPECT_TRUE(recorder.Logs.empty());
        EXPECT_EQ(recorder.Refreshes, 1);
        EXPECT_FALSE(PathExists(PieceFileName(source, 1)));
    }
}

TEST(Split, APieceSizeBelowOneIsRefused)
{
    const TTempDir dir;
    WriteFileBytes(dir / "a", "abc");
    TRecordingHost recorder;
    EXPECT_EQ(TSplitOperation(recorder.Host()).SplitFile(dir / "a", 0), 0);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_FALSE(PathExists(dir / "a.0001"));
    EXPECT_EQ(recorder.Refreshes, 1);
}

TEST(Split, FirstPieceThatCannotBeCreatedIsLoggedAndReported)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "abcdef");
    ASSERT_EQ(::mkdir((dir / "a.0001").c_str(), 0755), 0);
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(source, 4);
    const std::vector<std::string> expected = {
        "LOG " + dir / "a.0001", "BOX Fehler: Die Datei " + dir / "a.0001" + " konnte nicht erstellt werden.",
        "REFRESH"};
    EXPECT_EQ(recorder.Events, expected);
    EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_FALSE(PathExists(dir / "a.0002"));
}

TEST(Split, NoPieceCanBeCreatedInAnImmutableFolder)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "abcdef");
    TRecordingHost recorder;
    {
        const TImmutableGuard guard(dir.Path());
        if (!guard.Active())
            GTEST_SKIP() << "chattr +i needs the superuser";
        TSplitOperation(recorder.Host()).SplitFile(source, 4);
    }
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + dir / "a.0001" + " konnte nicht erstellt werden.");
    EXPECT_EQ(recorder.Refreshes, 1);
}

// The split stops at the piece it cannot create: no further block is read, no
// completion is reported, and the pieces before it go with it.
TEST(Split, ALaterPieceThatCannotBeCreatedEndsTheSplit)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "0123456789abc");
    ASSERT_EQ(::mkdir((dir / "a.0003").c_str(), 0755), 0);
    TRecordingHost recorder;
    TSplitOperation(recorder.Host()).SplitFile(source, 4);
    const std::vector<std::string> expected = {
        "LOG " + dir / "a.0001", "LOG " + dir / "a.0003",
        "BOX Fehler: Die Datei " + dir / "a.0003" + " konnte nicht erstellt werden.", "REFRESH"};
    EXPECT_EQ(recorder.Events, expected);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "a.0003"}));
}

// A write that fails (a full disk) at piece 1 or, half way, at piece 2 takes
// back every piece the split wrote, replaced ones included, and leaves the
// source and older pieces after the ones it reached as they were: no part of
// it can be joined.
TEST(Split, AFailedWriteTakesBackEveryPieceItWrote)
{
    for (const auto method : {TTransferSettings::TMethod::Buffer, TTransferSettings::TMethod::KernelCopy}) {
        for (const std::int64_t failing : {1, 2}) {
            SCOPED_TRACE("piece " + std::to_string(failing));
            const TTempDir dir;
            const std::string source = dir / "a";
            const std::string bytes = PatternBytes(50000);
            WriteFileBytes(source, bytes);
            WriteFileBytes(dir / "a.0001", "older 1");
            WriteFileBytes(dir / "a.0002", "older 2");
            WriteFileBytes(dir / "a.0009", "older 9");
            TRecordingHost recorder;
            std::unique_ptr<TFileSizeLimit> full;
            recorder.OnReport = [&](const TProgressReport& report) {
                if (report.Piece == 2 && !full)
                    full = std::make_unique<TFileSizeLimit>(5000);
                return true;
            };
            if (failing == 1)
                full = std::make_unique<TFileSizeLimit>(5000);
            EXPECT_EQ(TSplitOperation(recorder.Host(), {method, 4000}).SplitFile(source, 10000), 0);
            full.reset();
            const std::vector<std::string> expected = {"LOG " + dir / "a.0001",
                                                       "BOX Fehler: Die Datei " + PieceFileName(source, failing) +
                                                           " konnte nicht geschrieben werden.",
                                                       "REFRESH"};
            EXPECT_EQ(recorder.Events, expected);
            const std::vector<std::string> left = failing == 1 ? std::vector<std::string>{"a", "a.0002", "a.0009"}
                                                               : std::vector<std::string>{"a", "a.0009"};
            EXPECT_EQ(dir.Names(), left);
            EXPECT_EQ(ReadFileBytes(source), bytes);
        }
    }
}

// Piece 1 gets its name last, once everything else is on disk: a split killed
// at a piece boundary, or after its last report before the end, leaves no
// piece 1 (an old one went before the first byte was written), so a join from
// any piece refuses, and the file it was writing says whose it is.
TEST(Split, AKilledSplitLeavesNothingThatJoins)
{
    for (const bool atTheEnd : {false, true}) {
        SCOPED_TRACE(atTheEnd ? "killed at the end" : "killed at piece 3");
        const TTempDir dir;
        const std::string source = dir / "film.avi";
        WriteFileBytes(source, PatternBytes(55000));
        TRecordingHost earlier;
        ASSERT_EQ(TSplitOperation(earlier.Host()).SplitFile(source, 10000), 6);
        const int status = RunInChild([&] {
            TRecordingHost recorder;
            recorder.OnReport = [&](const TProgressReport& report) {
                if (atTheEnd ? report.Done == report.Total : report.Piece == 3)
                    ::raise(SIGKILL);
                return true;
            };
            TSplitOperation(recorder.Host(), {TTransferSettings::TMethod::Buffer, 4096}).SplitFile(source, 20000);
        });
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        EXPECT_FALSE(PathExists(dir / "film.avi.0001"));
        EXPECT_TRUE(HasTemporaryFileOf(dir.Path(), "film.avi.0001"));
        ASSERT_EQ(::rename(source.c_str(), (dir / "original").c_str()), 0);
        for (const char* picked : {"film.avi.0002", "film.avi.0003"}) {
            TRecordingHost joiner;
            TJoinRequest(joiner.Host()).CombineFile(dir / picked);
            ASSERT_EQ(joiner.Boxes.size(), 1u);
            EXPECT_EQ(joiner.Boxes[0].Text, "Der Teil " + dir / "film.avi.0001" + " fehlt.");
            EXPECT_FALSE(PathExists(source));
        }
    }
}

TEST(Split, AFailedReadIsReportedAndNotTakenForTheEnd)
{
    // Reading this process's memory from offset 0 fails: nothing is mapped there.
    for (const auto method : {TTransferSettings::TMethod::Buffer, TTransferSettings::TMethod::KernelCopy}) {
        const TTempDir dir;
        const std::string source = dir / "memory";
        ASSERT_EQ(::symlink("/proc/self/mem", source.c_str()), 0);
        TRecordingHost recorder;
        TSplitOperation(recorder.Host(), {method, 0}).SplitFile(source, 4096);
        const std::vector<std::string> expected = {"LOG " + dir / "memory.0001",
                                                   "BOX Fehler: Die Datei " + source + " konnte nicht gelesen werden.",
                                                   "REFRESH"};
        EXPECT_EQ(recorder.Events, expected);
        EXPECT_FALSE(PathExists(dir / "memory.0001"));
    }
}

// A stop takes back every name the run wrote, replaced ones included, and
// leaves the source and older pieces after them alone.
TEST(Split, AStoppedSplitRemovesEveryPieceItWroteAndNothingElse)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    const std::string bytes = PatternBytes(10000);
    WriteFileBytes(source, bytes);
    WriteFileBytes(dir / "a.0002", "older");
    WriteFileBytes(dir / "a.0020", "stale");
    TRecordingHost recorder;
    std::vector<std::int64_t> pieces;
    recorder.OnReport = [&](const TProgressReport& report) {
        EXPECT_EQ(report.Total, 10000u);
        EXPECT_EQ(report.PieceCount, 11);
        pieces.push_back(report.Piece);
        return report.Done < 2500;
    };
    TSplitOperation(recorder.Host(), {TTransferSettings::TMethod::Buffer, 500}).SplitFile(source, 1000);

    EXPECT_EQ(pieces, (std::vector<std::int64_t>{1, 2, 2, 3, 3}));
    EXPECT_TRUE(recorder.Boxes.empty());
    EXPECT_EQ(recorder.Logs, (std::vector<std::string>{dir / "a.0001", "Teilen abgebrochen."}));
    EXPECT_EQ(recorder.Refreshes, 1);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "a.0020"}));
    EXPECT_EQ(ReadFileBytes(source), bytes);
    EXPECT_EQ(ReadFileBytes(dir / "a.0020"), "stale");

    // A stop that comes only with the last report still takes every piece back.
    TRecordingHost late;
    late.OnReport = [](const TProgressReport& report) { return report.Done < report.Total; };
    EXPECT_EQ(TSplitOperation(late.Host()).SplitFile(source, 1000), 0);
    EXPECT_TRUE(late.Boxes.empty());
    EXPECT_EQ(late.Logs, (std::vector<std::string>{dir / "a.0001", "Teilen abgebrochen."}));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "a.0020"}));
}

// However small the pieces, the observer hears from the work once per interval:
// here one report for 3001 one-byte pieces and their join, and one more at each end.
TEST(Split, ProgressReachesTheObserverOncePerIntervalWhateverThePieceSize)
{
    const TTempDir dir(FastFileSystemFolder());
    const std::string source = dir / "x";
    const std::string bytes = PatternBytes(3000);
    WriteFileBytes(source, bytes);
    TRecordingHost recorder;
    recorder.ProgressInterval = std::chrono::hours(1);
    int reports = 0;
    recorder.OnReport = [&](const TProgressReport& report) {
        EXPECT_EQ(report.PieceCount, 3001);
        ++reports;
        return true;
    };
    EXPECT_EQ(TSplitOperation(recorder.Host()).SplitFile(source, 1), 3001);
    EXPECT_EQ(reports, 2);  // the first transfer's, and the last word at the end

    ::unlink(source.c_str());
    reports = 0;
    TJoiner(recorder.Host()).JoinFile(source);
    EXPECT_EQ(reports, 2);
    EXPECT_TRUE(ReadFileBytes(source) == bytes);
}

// The target's file system is asked before anything is written: FAT, here
// through FUSE where the kernel knows no limit, holds no 5 GB piece; the FAT
// limit itself is fine.
TEST(SplitPrechecks, RefusesAPieceSizeFatCannotHoldBeforeWritingAnything)
{
    TTempDir folder;
    const TFatMount fat(folder.Path());
    if (!fat.IsMounted())
        GTEST_SKIP() << fat.SkipReason();
    const std::string source = fat.Root() + "/film.avi";
    WriteFileBytes(source, PatternBytes(3000));
    EXPECT_EQ(LargestFileOn(fat.Root()), 4294967295u);
    TRecordingHost host;
    EXPECT_EQ(TSplitOperation(host.Host()).SplitFile(source, 5000000000), 0);
    ASSERT_EQ(host.Boxes.size(), 1u);
    EXPECT_EQ(host.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_NE(host.Boxes[0].Text.find("höchstens 4294967295 Bytes (4 GiB − 1 Byte, FAT)"), std::string::npos)
        << host.Boxes[0].Text;
    EXPECT_TRUE(host.Logs.empty());
    EXPECT_FALSE(PathExists(source + ".0001"));
    EXPECT_FALSE(PathExists(source + ".sha256"));
    EXPECT_EQ(TSplitOperation(host.Host()).SplitFile(source, 4294967295), 1);
    EXPECT_EQ(ReadFileBytes(source + ".0001"), PatternBytes(3000));
}

// Pieces that cannot fit into the free space are refused with both figures, and nothing is written.
TEST(SplitPrechecks, RefusesPiecesTheFreeSpaceCannotHold)
{
    TTempDir folder;
    const TTmpfsMount small(folder.Path(), "size=1m");
    if (!small.IsMounted())
        GTEST_SKIP() << small.SkipReason();
    const std::string source = folder / "film.avi";
    WriteFileBytes(source, PatternBytes(700000));
    TRecordingHost host;
    EXPECT_EQ(TSplitOperation(host.Host()).SplitFile(source, 100000), 0);
    ASSERT_EQ(host.Boxes.size(), 1u);
    EXPECT_NE(host.Boxes[0].Text.find("nicht genug Platz frei"), std::string::npos) << host.Boxes[0].Text;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"film.avi"});
}

// The sizes a script may write, and the smallest size that gives N pieces.
TEST(PieceSizes, ReadUnitsAndCutIntoEqualPieces)
{
    EXPECT_EQ(ParsePieceSizeText("700M"), 734003200);
    EXPECT_EQ(ParsePieceSizeText("4GB"), 4000000000);
    EXPECT_EQ(ParsePieceSizeText("1457664"), 1457664);
    for (const char* wrong : {"", "0", "-5", "1.5M", "M", "12 K", "8E", "9223372036854775808", "9000000T"})
        EXPECT_FALSE(ParsePieceSizeText(wrong)) << wrong;
    EXPECT_EQ(EqualPieceSize(10, 3), 4);
    EXPECT_EQ(EqualPieceSize(10, 2), 6);
    EXPECT_EQ(EqualPieceSize(10, 11), 1);
    EXPECT_FALSE(EqualPieceSize(0, 2));
    EXPECT_EQ(EqualPieceSize(0, 1), 1);
    EXPECT_FALSE(EqualPieceSize(3, 3)) << "sizes 1 and 2 give 4 and 2 pieces";
    EXPECT_FALSE(EqualPieceSize(10, 0));
    ASSERT_NE(FindPieceSizePreset("cd"), nullptr);
    EXPECT_EQ(FindPieceSizePreset("cd")->Bytes, 734003200);
}

}  // namespace
