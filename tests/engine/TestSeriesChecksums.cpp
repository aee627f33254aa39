#include "EngineTestSupport.h"

#include "engine/join/TJoiner.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/split/TSplitOperation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace {

std::string ChecksumsOf(const std::string& source)
{
    return ReadFileBytes(source + ".sha256");
}

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Splits a fresh source of `length` bytes in dir, keeps its bytes in `original`
// and takes it away, so that the join has a file to rebuild.
std::string SplitAway(const TTempDir& dir, const std::string& name, std::size_t length, std::int64_t pieceSize)
{
    const std::string source = dir / name;
    const std::string bytes = PatternBytes(length, 11);
    WriteFileBytes(source, bytes);
    TRecordingHost splitter;
    EXPECT_GT(TSplitOperation(splitter.Host()).SplitFile(source, pieceSize), 0);
    EXPECT_EQ(::unlink(source.c_str()), 0);
    return bytes;
}

// Names as people have them: a blank, a backslash, a newline, a carriage return
// and bytes that are no UTF-8.
TEST(SeriesChecksums, Sha256sumChecksTheSeriesWhateverItsName)
{
    for (const std::string& name : {std::string("mein film.avi"), std::string("a\\b"), std::string("zwei\nZeilen"),
                                    std::string("cr\rx"), std::string("caf\xe9 \xff\xfe.bin")}) {
        SCOPED_TRACE(name);
        const TTempDir dir;
        const std::string source = dir / name;
        WriteFileBytes(source, PatternBytes(25000, 3));
        TRecordingHost recorder;
        ASSERT_EQ(TSplitOperation(recorder.Host()).SplitFile(source, 10000), 3);

        // Line for line what sha256sum itself writes for these names, after the program's own first line.
        const std::vector<std::string> ours = LinesOf(ChecksumsOf(source));
        ASSERT_EQ(ours.size(), 5u);
        EXPECT_EQ(ours[0], "# Parzello: 3 Teile zu 10000 Bytes");
        std::string peer;
        ASSERT_EQ(
            RunCommandIn(dir.Path(), {"sha256sum", "--", name + ".0001", name + ".0002", name + ".0003", name}, &peer),
            0);
        EXPECT_EQ(std::vector<std::string>(ours.begin() + 1, ours.end()), LinesOf(peer));

        EXPECT_EQ(RunCommandIn(dir.Path(), {"sha256sum", "-c", "--strict", "--", name + ".sha256"}), 0);
        ASSERT_EQ(::unlink(source.c_str()), 0);
        EXPECT_NE(RunCommandIn(dir.Path(), {"sha256sum", "-c", "--strict", "--", name + ".sha256"}), 0);
        EXPECT_EQ(RunCommandIn(dir.Path(), {"sha256sum", "-c", "--strict", "--ignore-missing", "--", name + ".sha256"}),
                  0);
    }
}

// The in-kernel copy, the buffer, and the buffer the default falls back to
// where the kernel refuses all hash the same bytes.
TEST(SeriesChecksums, EveryTransferWritesTheSameChecksums)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    WriteFileBytes(source, PatternBytes(3000000, 5));
    std::vector<std::string> files;
    for (const TTransferSettings& transfer : {TTransferSettings{TTransferSettings::TMethod::KernelCopy, 0},
                                              TTransferSettings{TTransferSettings::TMethod::Buffer, 2048},
                                              TTransferSettings{TTransferSettings::TMethod::KernelCopy, 70000}}) {
        TRecordingHost recorder;
        TSplitOperation(recorder.Host(), transfer).SplitFile(source, 1000000);
        files.push_back(ChecksumsOf(source));
    }
    TRecordingHost refused;
    RunWithoutKernelCopy(EXDEV, [&] { TSplitOperation(refused.Host()).SplitFile(source, 1000000); });
    files.push_back(ChecksumsOf(source));
    EXPECT_EQ(LinesOf(files[0]).size(), 6u);
    for (const std::string& file : files)
        EXPECT_EQ(file, files[0]);
}

// A re-split replaces its own checksum file of the earlier series, and the
// pieces left from it go; a checksum file the program did not write stays, and
// the join then checks sizes alone.
TEST(SeriesChecksums, AReSplitReplacesOnlyItsOwnChecksumFile)
{
    const TTempDir dir;
    const std::string source = dir / "film.avi";
    WriteFileBytes(source, PatternBytes(35000, 7));
    TRecordingHost first;
    ASSERT_EQ(TSplitOperation(first.Host()).SplitFile(source, 10000), 4);
    TRecordingHost second;
    ASSERT_EQ(TSplitOperation(second.Host()).SplitFile(source, 20000), 2);
    EXPECT_EQ(second.Logs,
              (std::vector<std::string>{dir / "film.avi.0001", "Alter Teil gelöscht: " + dir / "film.avi.0003",
                                        "Alter Teil gelöscht: " + dir / "film.avi.0004"}));
    EXPECT_EQ(LinesOf(ChecksumsOf(source)).front(), "# Parzello: 2 Teile zu 20000 Bytes");
    EXPECT_EQ(RunCommandIn(dir.Path(), {"sha256sum", "-c", "--strict", "film.avi.sha256"}), 0);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"film.avi", "film.avi.0001", "film.avi.0002", "film.avi.sha256"}));

    const std::string download = "0123456789012345678901234567890123456789012345678901234567890123  film.avi\n";
    WriteFileBytes(dir / "film.avi.sha256", download);
    TRecordingHost third;
    ASSERT_EQ(TSplitOperation(third.Host()).SplitFile(source, 30000), 2);
    EXPECT_EQ(ChecksumsOf(source), download);
    EXPECT_EQ(third.Logs.back(), "Keine Prüfsummendatei geschrieben: " + dir / "film.avi.sha256" +
                                     " stammt nicht von Parzello und bleibt, wie sie ist.");
    ASSERT_EQ(::unlink(source.c_str()), 0);
    TRecordingHost joiner;
    TJoiner(joiner.Host()).JoinFile(source);
    EXPECT_TRUE(joiner.Logs.empty());
    ASSERT_EQ(joiner.Boxes.size(), 1u);
    EXPECT_EQ(joiner.Boxes[0].Caption, "Zusammenfügen beendet");
    EXPECT_EQ(ChecksumsOf(source), download);
}

// A series with a checksum file of ours is proven: one flipped byte, two
// pieces of equal size swapped, a piece cut short, a missing last piece that
// sizes could not reveal beside a full-size piece 1, a checksum file that does
// not fit. Each is refused by name; the file it would replace stays, the
// pieces stay, and nothing of the join is left.
TEST(SeriesChecksums, AJoinRefusesAndNamesWhatIsDamaged)
{
    const TTempDir dir;
    const std::string source = dir / "film.avi";
    const auto piece = [&](int number) { return PieceFileName(source, number); };
    const auto refused = [&](const std::function<void()>& damage, const std::string& text) {
        SCOPED_TRACE(text);
        SplitAway(dir, "film.avi", 45000, 10000);
        damage();
        WriteFileBytes(source, "older");
        TRecordingHost recorder;
        recorder.QuestionAnswer = TBoxAnswer::Yes;
        TJoiner(recorder.Host(), {TTransferSettings::TMethod::Buffer, 4096}).JoinFile(source);
        ASSERT_FALSE(recorder.Boxes.empty());
        EXPECT_EQ(recorder.Boxes.back().Icon, TBoxIcon::Error);
        EXPECT_EQ(recorder.Boxes.back().Text, text);
        EXPECT_TRUE(recorder.Logs.empty());
        EXPECT_EQ(ReadFileBytes(source), "older");
        EXPECT_FALSE(HasTemporaryFileOf(dir.Path(), "film.avi"));
    };
    refused(
        [&] {
            std::string bytes = ReadFileBytes(piece(3));
            bytes[5000] = static_cast<char>(bytes[5000] ^ 0x01);
            WriteFileBytes(piece(3), bytes);
        },
        "Der Teil " + piece(3) + " ist beschädigt: seine Prüfsumme stimmt nicht.");
    refused(
        [&] {
            ASSERT_EQ(::rename(piece(2).c_str(), (dir / "x").c_str()), 0);
            ASSERT_EQ(::rename(piece(3).c_str(), piece(2).c_str()), 0);
            ASSERT_EQ(::rename((dir / "x").c_str(), piece(3).c_str()), 0);
        },
        "Der Teil " + piece(2) + " ist beschädigt: seine Prüfsumme stimmt nicht.");
    refused([&] { ASSERT_EQ(::truncate(piece(4).c_str(), 9999), 0); },
            "Der Teil " + piece(4) + " ist beschädigt: seine Größe stimmt nicht.");
    refused(
        [&] {
            std::string text = ChecksumsOf(source);
            const std::size_t whole = text.rfind('\n', text.size() - 2) + 1;
            text[whole] = text[whole] == '0' ? '1' : '0';
            WriteFileBytes(source + ".sha256", text);
        },
        "Die zusammengefügte Datei " + source + " stimmt nicht mit ihrer Prüfsumme überein.");
    refused(
        [&] {
            std::string text = ChecksumsOf(source);
            text.replace(text.find("5 Teile"), 7, "6 Teile");
            WriteFileBytes(source + ".sha256", text);
        },
        "Die Prüfsummendatei " + source + ".sha256 ist beschädigt oder gehört zu einer anderen Datei.");
    for (const std::string& name : dir.Names())
        ASSERT_EQ(::unlink((dir / name).c_str()), 0);

    // Two pieces, the first full: alone, piece 1 would look like a whole series of one.
    SplitAway(dir, "film.avi", 15000, 10000);
    ASSERT_EQ(::unlink(piece(2).c_str()), 0);
    TRecordingHost recorder;
    TJoiner(recorder.Host()).JoinFile(source);
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Text, "Der Teil " + piece(2) + " fehlt.");
    EXPECT_FALSE(PathExists(source));
}

// A sound series joins and says what it checked; pieces numbered after the
// ones its checksum file counts (left by an earlier split) are no part of it.
TEST(SeriesChecksums, AJoinSaysWhatItChecked)
{
    const TTempDir dir;
    const std::string source = dir / "a";
    for (const auto& [length, count] :
         std::vector<std::pair<std::size_t, std::string>>{{5000, "1 Teil"}, {30000, "4 Teile"}}) {
        const std::string bytes = SplitAway(dir, "a", length, 10000);
        WriteFileBytes(dir / "a.0009", "stale");
        TRecordingHost recorder;
        TJoiner(recorder.Host()).JoinFile(source);
        EXPECT_EQ(recorder.Logs, std::vector<std::string>{"Prüfsummen geprüft: " + count + " in Ordnung."});
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Caption, "Zusammenfügen beendet");
        EXPECT_TRUE(ReadFileBytes(source) == bytes);
        ASSERT_EQ(::unlink(source.c_str()), 0);
    }
}

}  // namespace
