#include "EngineTestSupport.h"

#include "engine/core/IntegerConversion.h"
#include "engine/join/TJoinRequest.h"

#include <gtest/gtest.h>

namespace {

const char* kNotAPiece = "Diese Datei ist kein Teil einer von diesem Programm geteilten Datei.";

TEST(IntegerConversion, AcceptsBlanksOneSignDecimalAndHexadecimal)
{
    const std::vector<std::pair<std::string, std::int32_t>> accepted = {{"0003", 3},
                                                                        {"10000", 10000},
                                                                        {"-2", -2},
                                                                        {" 7", 7},
                                                                        {"   +12", 12},
                                                                        {"$1F", 31},
                                                                        {"x1f", 31},
                                                                        {"X10", 16},
                                                                        {"0x1F", 31},
                                                                        {"0XfF", 255},
                                                                        {"-$10", -16},
                                                                        {"2147483647", 2147483647},
                                                                        {"-2147483648", INT32_MIN},
                                                                        {"$7FFFFFFF", INT32_MAX},
                                                                        {"$FFFFFFFF", -1},
                                                                        {"000000000000042", 42},
                                                                        {"-0", 0}};
    for (const auto& [text, value] : accepted) {
        const std::optional<std::int32_t> result = TryStrToInt(text);
        ASSERT_TRUE(result.has_value()) << '"' << text << '"';
        EXPECT_EQ(*result, value) << '"' << text << '"';
    }
}

TEST(IntegerConversion, RejectsAnythingElse)
{
    for (const std::string& text : std::vector<std::string>{"",           " ",          "avi",
                                                            "+",          "-",          "$",
                                                            "x",          "0x",         "1 ",
                                                            "12a",        "--1",        "+-1",
                                                            "1.5",        "2147483648", "-2147483649",
                                                            "$100000000", "\t5",        "1e3",
                                                            "$G",         "0x-1",       std::string("1\0", 2)}) {
        EXPECT_FALSE(TryStrToInt(text).has_value()) << '"' << text << '"';
    }
}

TEST(JoinRequest, TakesTheExtensionOfTheLastNameOnly)
{
    auto parsed = TJoinRequest::ParsePickedPath("/x/film.avi.0003");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->BasePath, "/x/film.avi");
    EXPECT_EQ(parsed->NumberText, "0003");
    EXPECT_EQ(parsed->Number, 3);

    parsed = TJoinRequest::ParsePickedPath("/x/film.avi.10000");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->BasePath, "/x/film.avi");
    EXPECT_EQ(parsed->Number, 10000);

    for (const std::string path : {"a.-2", "a. 7", "a.$1F"})
        EXPECT_TRUE(TJoinRequest::ParsePickedPath(path)) << path;

    for (const std::string path : {"/x/film.avi", "/x/README", "/x/a.", "/x.0001/file", "/x/.hidden"})
        EXPECT_FALSE(TJoinRequest::ParsePickedPath(path)) << path;
    EXPECT_EQ(TJoinRequest::ExtensionOf("/x.0001/file"), "");
    EXPECT_EQ(TJoinRequest::ExtensionOf("/x/a."), ".");
}

// Names that convert but that no split writes (a sign, a blank, hexadecimal,
// other padding, zero) are refused with the same message as any other file.
TEST(JoinRequest, RefusesFilesThatAreNotNamedLikeAPiece)
{
    const TTempDir dir;
    WriteFileBytes(dir / "a.0001", "abc");
    for (const std::string name : {"a", "README", "a.", "a.-2", "a. 7", "a.$1F", "a.1", "a.00001", "a.0000"}) {
        SCOPED_TRACE(name);
        WriteFileBytes(dir / name, "x");
        TRecordingHost recorder;
        TJoinRequest(recorder.Host()).CombineFile(dir / name);
        ASSERT_EQ(recorder.Boxes.size(), 1u);
        EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Error);
        EXPECT_EQ(recorder.Boxes[0].Caption, "Fehler");
        EXPECT_EQ(recorder.Boxes[0].Text, kNotAPiece);
        EXPECT_EQ(ReadFileBytes(dir / "a.0001"), "abc");
    }
}

TEST(JoinRequest, APieceStartsTheJoinOfItsSeries)
{
    const TTempDir dir;
    WriteFileBytes(dir / "film.avi.0001", "abc");
    WriteFileBytes(dir / "film.avi.0002", "d");
    TRecordingHost recorder;
    TJoinRequest(recorder.Host()).CombineFile(dir / "film.avi.0002");
    EXPECT_EQ(ReadFileBytes(dir / "film.avi"), "abcd");
    ASSERT_EQ(recorder.Boxes.size(), 1u);
    EXPECT_EQ(recorder.Boxes[0].Caption, "Zusammenfügen beendet");
    EXPECT_EQ(recorder.Boxes[0].Icon, TBoxIcon::Information);
    EXPECT_EQ(recorder.Boxes[0].Text, "Die Datei " + dir / "film.avi" + " wurde aus 2 Teilen zusammengefügt.");
    EXPECT_EQ(recorder.Refreshes, 1);
}

}  // namespace
