#include "EngineTestSupport.h"

#include "engine/pieces/PieceNaming.h"
#include "engine/join/TJoiner.h"
#include "engine/split/TSplitOperation.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* kDone = "Zusammenfügen beendet";

void WritePieces(const std::string& base, const std::vector<std::string>& contents)
{
    for (std::size_t i = 0; i < contents.size(); ++i)
        WriteFileBytes(PieceFileName(base, static_cast<std::int64_t>(i) + 1), contents[i]);
}

// Joining must leave no file of its own behind when it fails or stops.
bool HasTemporaryFile(const TTempDir& dir)
{
    for (const std::string& name : dir.Names())
        if (name.front() == '.' && name.find(".parzello-") != std::string::npos)
            return true;
    return false;
}

// Joins and expects exactly one error box with that text; nothing written.
void ExpectRefused(const TTempDir& dir, const std::string& base, const std::string& text)
{
    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(base);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_EQ(recorder.Boxes[0].Caption, "Fehler");
    EXPECT_EQ(recorder.Boxes[0].Text, text);
    EXPECT_EQ(recorder.Refreshes, 1);
    EXPECT_FALSE(HasTemporaryFile(dir));
}

class JoinRoundTrip : public testing::TestWithParam<TTransferSettings>
{};

TEST_P(JoinRoundTrip, SplitThenJoinGivesTheSourceBack)
{
    for (const auto& [length, pieceSize] : std::vector<std::pair<std::size_t, std::int64_t>>{
             {0, 5}, {5, 5}, {6, 5}, {3, 1}, {10, 5}, {300000, 65536}, {100000, 4096}, {3000000, 1457664}}) {
        SCOPED_TRACE(std::to_string(length) + " / " + std::to_string(pieceSize));
        const TTempDir dir;
        const std::string source = dir / "film.avi";
        const std::string bytes = PatternBytes(length, 7);
        WriteFileBytes(source, bytes);
        TRecordingHost splitter;
        TSplitOperation(splitter.Host(), GetParam()).SplitFile(source, pieceSize);
        ASSERT_EQ(::rename(source.c_str(), (dir / "original").c_str()), 0);

        TRecordingHost recorder;
        TJoiner(recorder.Host(), GetParam()).JoinFile(source);
        const std::size_t count = length / static_cast<std::size_t>(pieceSize) + 1;
        const std::string pieces = count == 1 ? "1 Teil" : std::to_string(count) + " Teilen";
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Caption, kDone);
        EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + source + " wurde aus " + pieces + " zusammengefügt.");
        EXPECT_TRUE(ReadFileBytes(source) == bytes);
        EXPECT_FALSE(HasTemporaryFile(dir));
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, JoinRoundTrip,
                         testing::Values(TTransferSettings{TTransferSettings::TMethod::Buffer, 2048},
                                         TTransferSettings{TTransferSettings::TMethod::Buffer, 0},
                                         TTransferSettings{TTransferSettings::TMethod::KernelCopy, 0},
                                         TTransferSettings{TTransferSettings::TMethod::KernelCopy, 3000}),
                         [](const testing::TestParamInfo<TTransferSettings>& info) {
                             const bool kernel = info.param.Method == TTransferSettings::TMethod::KernelCopy;
                             return std::string(kernel ? "KernelCopy" : "Buffer") +
                                    std::to_string(info.param.TransferSize);
                         });

// With the kernel refusing to copy, or copying nothing, the default transfer
// still splits and joins every byte.
TEST(Joiner, SplitAndJoinWhereTheKernelWillNotCopy)
{
    for (const int answer : {EXDEV, 0}) {
        SCOPED_TRACE("copy_file_range answers " + std::to_string(-answer));
        const TTempDir dir;
        const std::string source = dir / "film.avi";
        const std::string bytes = PatternBytes(3000000, 5);
        WriteFileBytes(source, bytes);
        TRecordingHost splitter;
        TRecordingHost joiner;
        RunWithoutKernelCopy(answer, [&] {
            TSplitOperation(splitter.Host()).SplitFile(source, 1457664);
            ASSERT_EQ(::rename(source.c_str(), (dir / "original").c_str()), 0);
            TJoiner(joiner.Host()).JoinFile(source);
        });
        ASSERT_EQ(splitter.Boxes.size(), 1u);
        EXPECT_EQ(splitter.Boxes[0].Text, "Die Datei wurde in 3 Teile aufgeteilt.");
        ASSERT_EQ(joiner.Boxes.size(), 1u);
        EXPECT_EQ(joiner.Boxes[0].Caption, kDone);
        EXPECT_TRUE(ReadFileBytes(source) == bytes);
    }
}

// A large join writes its result back while it copies and leaves it on disk,
// not in memory; stopped midway, its helper ends and its file goes.
TEST(Joiner, ALargeJoinLeavesItsResultOnDiskAndOutOfTheCache)
{
    const TTempDir dir;
    const std::size_t mebibyte = 1024 * 1024;
    const std::vector<std::string> contents = {PatternBytes(9 * mebibyte, 1), PatternBytes(9 * mebibyte, 2),
                                               PatternBytes(3 * mebibyte, 3)};
    WritePieces(dir / "a", contents);

    TRecordingHost stopped;
    stopped.OnProgress = [&](std::uint64_t done, std::uint64_t) { return done < 17 * mebibyte; };
    TJoiner(stopped.Host()).JoinFile(dir / "a");
    EXPECT_TRUE(stopped.Boxes.empty());
    EXPECT_FALSE(PathExists(dir / "a"));
    EXPECT_FALSE(HasTemporaryFile(dir));

    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(dir / "a");
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Caption, kDone);
    EXPECT_LT(CachedPages(dir / "a"), 21 * mebibyte / 4096 / 100);
    EXPECT_TRUE(ReadFileBytes(dir / "a") == contents[0] + contents[1] + contents[2]);
}

// 10000 bytes in pieces of one byte: 10001 pieces, .9999 then .10000, .10001.
TEST(Joiner, FindsTheSeriesAcrossTheFifthDigit)
{
    const TTempDir dir(FastFileSystemFolder());
    const std::string source = dir / "x";
    const std::string bytes = PatternBytes(10000, 3);
    WriteFileBytes(source, bytes);
    TRecordingHost splitter;
    TSplitOperation(splitter.Host()).SplitFile(source, 1);
    ASSERT_EQ(splitter.Boxes.back().Text, "Die Datei wurde in 10001 Teile aufgeteilt.");
    EXPECT_EQ(StatOf(dir / "x.9999").st_size, 1);
    EXPECT_EQ(StatOf(dir / "x.10000").st_size, 1);
    EXPECT_EQ(StatOf(dir / "x.10001").st_size, 0);
    ASSERT_EQ(::unlink(source.c_str()), 0);

    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(source);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + source + " wurde aus 10001 Teilen zusammengefügt.");
    EXPECT_TRUE(ReadFileBytes(source) == bytes);

    // Without .10000 the series has a gap that its fifth-digit pieces reveal.
    ASSERT_EQ(::unlink((dir / "x.10000").c_str()), 0);
    ASSERT_EQ(::unlink(source.c_str()), 0);
    ExpectRefused(dir, source, "Der Teil " + dir / "x.10000" + " fehlt.");
}

TEST(Joiner, TheRebuiltFileCarriesThePiecesTimesAndPermissions)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, "0123456789");
    SetFileTimes(source, 1000000000, 1300000000);
    TRecordingHost splitter;
    TSplitOperation(splitter.Host()).SplitFile(source, 4);
    ASSERT_EQ(::unlink(source.c_str()), 0);

    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(source);
    const struct stat status = StatOf(source);
    EXPECT_EQ(status.st_mode & 07777, StatOf(dir / "a.0001").st_mode & 07777);
    EXPECT_EQ(status.st_mtime, 1300000000);
    EXPECT_EQ(status.st_atime, 1000000000);
}

TEST(Joiner, RefusesASeriesWithAMissingPiece)
{
    const TTempDir dir;
    const std::string base = dir / "a";
    WritePieces(base, {"abc", "def", "g"});
    ASSERT_EQ(::unlink((dir / "a.0001").c_str()), 0);
    ExpectRefused(dir, base, "Der Teil " + dir / "a.0001" + " fehlt.");

    WritePieces(base, {"abc", "def", "ghi", "jkl", "m"});
    ASSERT_EQ(::unlink((dir / "a.0003").c_str()), 0);
    ExpectRefused(dir, base, "Der Teil " + dir / "a.0003" + " fehlt.");

    // A gap far ahead counts too, though the pieces before it look complete.
    WritePieces(dir / "b", {"abc", "def", "g"});
    WriteFileBytes(dir / "b.0009", "z");
    ExpectRefused(dir, dir / "b", "Der Teil " + dir / "b.0004" + " fehlt.");

    // A broken link in place of a piece is a missing piece.
    WritePieces(dir / "c", {"abc", "def", "g"});
    ASSERT_EQ(::unlink((dir / "c.0002").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "c.0002").c_str()), 0);
    ExpectRefused(dir, dir / "c", "Der Teil " + dir / "c.0002" + " fehlt.");
    EXPECT_EQ(dir.Names().size(), 11u);
}

TEST(Joiner, RefusesASeriesThatRunsOutAtFullSize)
{
    const TTempDir dir;
    const std::string base = dir / "a";
    WritePieces(base, {"abc", "def"});
    ExpectRefused(dir, base, "Der Teil " + dir / "a.0003" + " fehlt.");
    EXPECT_FALSE(PathExists(base));
}

TEST(Joiner, RefusesPiecesThatDoNotBelongTogether)
{
    const TTempDir dir;
    const std::string base = dir / "a";
    WritePieces(base, {"abc", "de", "fgh", "i"});
    ExpectRefused(dir, base,
                  "Die Teile gehören nicht zusammen: auf den kürzeren Teil " + dir / "a.0002" + " folgt noch " +
                      dir / "a.0003" + ".");

    WritePieces(base, {"abc", "defg", "h"});
    ASSERT_EQ(::unlink((dir / "a.0004").c_str()), 0);
    ExpectRefused(dir, base,
                  "Die Teile gehören nicht zusammen: " + dir / "a.0002" + " ist größer als " + dir / "a.0001" + ".");

    WritePieces(base, {"abc", "abcd"});
    ASSERT_EQ(::unlink((dir / "a.0003").c_str()), 0);
    ExpectRefused(dir, base,
                  "Die Teile gehören nicht zusammen: " + dir / "a.0002" + " ist größer als " + dir / "a.0001" + ".");

    WritePieces(base, {"", ""});
    ExpectRefused(dir, base,
                  "Die Teile gehören nicht zusammen: auf den leeren Teil " + dir / "a.0001" + " folgt noch " +
                      dir / "a.0002" + ".");
    EXPECT_FALSE(PathExists(base));
}

TEST(Joiner, APieceMustBeAFile)
{
    const TTempDir dir;
    const std::string base = dir / "a";
    WritePieces(base, {"abc"});
    ASSERT_EQ(::mkdir((dir / "a.0002").c_str(), 0755), 0);
    ExpectRefused(dir, base, "Der Teil " + dir / "a.0002" + " ist keine Datei.");
    ASSERT_EQ(::rmdir((dir / "a.0002").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "a.0002").c_str(), 0644), 0);
    ExpectRefused(dir, base, "Der Teil " + dir / "a.0002" + " ist keine Datei.");
}

TEST(Joiner, APieceAloneIsAWholeSeriesWhateverItsSize)
{
    const TTempDir dir;
    WriteFileBytes(dir / "a.0001", "abc");
    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(dir / "a");
    EXPECT_EQ(ReadFileBytes(dir / "a"), "abc");
    EXPECT_EQ(recorder.Boxes.back().Text, "Die Datei " + dir / "a" + " wurde aus 1 Teil zusammengefügt.");
}

TEST(Joiner, RefusesAFolderInPlaceOfTheFile)
{
    const TTempDir dir;
    ASSERT_EQ(::mkdir((dir / "a").c_str(), 0755), 0);
    WritePieces(dir / "a", {"abc", "d"});
    ExpectRefused(dir, dir / "a", "Die Datei " + dir / "a" + " kann nicht erstellt werden, weil ein Ordner so heißt.");
    // A piece named ".0001" alone names the folder itself as the file to rebuild.
    WriteFileBytes(dir / "a/.0001", "x");
    ExpectRefused(dir, dir / "a/",
                  "Die Datei " + dir / "a/" + " kann nicht erstellt werden, weil ein Ordner so heißt.");
}

TEST(Joiner, NeverReplacesOneOfThePieces)
{
    const TTempDir dir;
    WritePieces(dir / "a", {"abc", "d"});
    ASSERT_EQ(::link((dir / "a.0002").c_str(), (dir / "a").c_str()), 0);
    ExpectRefused(dir, dir / "a", "Die Datei " + dir / "a" + " ist selbst einer der Teile und wird nicht ersetzt.");
    ASSERT_EQ(::unlink((dir / "a").c_str()), 0);
    ASSERT_EQ(::symlink("a.0001", (dir / "a").c_str()), 0);
    ExpectRefused(dir, dir / "a", "Die Datei " + dir / "a" + " ist selbst einer der Teile und wird nicht ersetzt.");
    EXPECT_EQ(ReadFileBytes(dir / "a.0001"), "abc");
    EXPECT_EQ(ReadFileBytes(dir / "a.0002"), "d");
}

TEST(Joiner, AsksBeforeReplacingAnExistingFile)
{
    const TTempDir dir;
    WritePieces(dir / "a", {"abc", "d"});
    WriteFileBytes(dir / "a", "older");
    const std::string question = "Die Datei " + dir / "a" + " existiert bereits. Soll sie ersetzt werden?";

    TRecordingHost declining;
    TJoiner(declining.Host()).JoinFile(dir / "a");
    ASSERT_EQ(declining.Boxes.size(), 1u);
    EXPECT_EQ(declining.Boxes[0].Icon, TBoxIcon::Question);
    EXPECT_EQ(declining.Boxes[0].Text, question);
    EXPECT_EQ(ReadFileBytes(dir / "a"), "older");
    EXPECT_FALSE(HasTemporaryFile(dir));

    // An existing symbolic link is replaced by the file, its target left alone.
    WriteFileBytes(dir / "target", "target");
    ASSERT_EQ(::unlink((dir / "a").c_str()), 0);
    ASSERT_EQ(::symlink("target", (dir / "a").c_str()), 0);
    TRecordingHost agreeing;
    agreeing.QuestionAnswer = TBoxAnswer::Yes;
    TJoiner(agreeing.Host()).JoinFile(dir / "a");
    ASSERT_EQ(agreeing.Boxes.size(), 2u);
    EXPECT_EQ(agreeing.Boxes[0].Text, question);
    EXPECT_EQ(agreeing.Boxes[1].Caption, kDone);
    struct stat status
    {};
    ASSERT_EQ(::lstat((dir / "a").c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(ReadFileBytes(dir / "a"), "abcd");
    EXPECT_EQ(ReadFileBytes(dir / "target"), "target");
}

// Pieces with holes claim more bytes than the disk has free.
TEST(Joiner, ChecksTheFreeSpaceFirst)
{
    const TTempDir dir;
    const off_t huge = off_t{1} << 42;
    for (const std::string& name : {dir / "a.0001", dir / "a.0002"}) {
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, name == dir / "a.0001" ? huge : 10), 0);
        ::close(fd);
    }
    ExpectRefused(dir, dir / "a", "Für die Datei " + dir / "a" + " ist auf dem Datenträger nicht genug Platz frei.");
    EXPECT_FALSE(PathExists(dir / "a"));
}

TEST(Joiner, AFailedWriteLeavesThePiecesAndTheOldFileAlone)
{
    for (const auto method : {TTransferSettings::TMethod::Buffer, TTransferSettings::TMethod::KernelCopy}) {
        const TTempDir dir;
        const std::string one = PatternBytes(60000, 1);
        const std::string two = PatternBytes(30000, 2);
        WritePieces(dir / "a", {one, two});
        WriteFileBytes(dir / "a", "older");
        TRecordingHost recorder;
        recorder.QuestionAnswer = TBoxAnswer::Yes;
        {
            const TFileSizeLimit limit(70000);
            TJoiner(recorder.Host(), {method, 0}).JoinFile(dir / "a");
        }
        ASSERT_EQ(recorder.Boxes.size(), 2u);
        EXPECT_EQ(recorder.Boxes[1].Icon, TBoxIcon::Error);
        EXPECT_EQ(recorder.Boxes[1].Text, "Die Datei " + dir / "a" + " konnte nicht geschrieben werden.");
        EXPECT_EQ(ReadFileBytes(dir / "a"), "older");
        EXPECT_EQ(ReadFileBytes(dir / "a.0001"), one);
        EXPECT_EQ(ReadFileBytes(dir / "a.0002"), two);
        EXPECT_FALSE(HasTemporaryFile(dir));
        EXPECT_EQ(recorder.Refreshes, 1);
    }
}

TEST(Joiner, NothingIsWrittenIntoAnImmutableFolder)
{
    const TTempDir dir;
    WritePieces(dir / "a", {"abc", "d"});
    TRecordingHost recorder;
    {
        const TImmutableGuard guard(dir.Path());
        if (!guard.Active())
            GTEST_SKIP() << "chattr +i needs the superuser";
        TJoiner(recorder.Host()).JoinFile(dir / "a");
    }
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + dir / "a" + " konnte nicht erstellt werden.");
    EXPECT_FALSE(PathExists(dir / "a"));
    EXPECT_FALSE(HasTemporaryFile(dir));
}

// The observer shortens piece 2 after the first transfer, as another program might.
TEST(Joiner, APieceThatShrinksWhileBeingJoinedIsReported)
{
    const TTempDir dir;
    WritePieces(dir / "a", {PatternBytes(5000), PatternBytes(3000)});
    TRecordingHost recorder;
    recorder.OnProgress = [&](std::uint64_t, std::uint64_t) {
        ::truncate((dir / "a.0002").c_str(), 100);
        return true;
    };
    TJoiner(recorder.Host(), {TTransferSettings::TMethod::Buffer, 1000}).JoinFile(dir / "a");
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Der Teil " + dir / "a.0002" + " konnte nicht gelesen werden.");
    EXPECT_FALSE(PathExists(dir / "a"));
    EXPECT_FALSE(HasTemporaryFile(dir));
}

TEST(Joiner, AStoppedJoinRemovesItsFileAndSaysNothing)
{
    // Stopped while copying, and stopped only during the final flush.
    for (const std::uint64_t stopAt : {6000u, 8000u}) {
        const TTempDir dir;
        WritePieces(dir / "a", {PatternBytes(5000), PatternBytes(3000)});
        WriteFileBytes(dir / "a", "older");
        TRecordingHost recorder;
        recorder.QuestionAnswer = TBoxAnswer::Yes;
        std::vector<std::uint64_t> seen;
        recorder.OnProgress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, 8000u);
            // The file being written carries its target's name.
            EXPECT_TRUE(HasTemporaryFileOf(dir.Path(), "a"));
            seen.push_back(done);
            return done < stopAt;
        };
        TJoiner(recorder.Host(), {TTransferSettings::TMethod::Buffer, 2000}).JoinFile(dir / "a");
        const std::vector<std::uint64_t> expected = stopAt == 6000u
                                                        ? std::vector<std::uint64_t>{2000, 4000, 5000, 7000}
                                                        : std::vector<std::uint64_t>{2000, 4000, 5000, 7000, 8000};
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(recorder.Logs, std::vector<std::string>{"Zusammenfügen abgebrochen."});
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Question);
        EXPECT_EQ(ReadFileBytes(dir / "a"), "older");
        EXPECT_FALSE(HasTemporaryFile(dir));
        EXPECT_EQ(recorder.Refreshes, 1);
    }
}

}  // namespace
