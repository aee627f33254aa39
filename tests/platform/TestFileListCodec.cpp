#include "platform/core/text/FileUri.h"
#include "platform/exchange/FileListCodec.h"
#include "platform/exchange/ShellIDListArray.h"
#include "platform/core/ids/ShellItems.h"

#include <QMap>
#include <QMimeData>

#include <gtest/gtest.h>

#include <glib.h>

namespace {

using namespace std::string_literals;

// Names other programs choke on: a space, an umlaut, a byte that is no UTF-8,
// a newline, a percent sign and a hash.
const std::vector<std::string> kAwkwardPaths = {"/tmp/a b.txt",   "/tmp/Grüße", "/tmp/bad\xff",
                                                "/tmp/new\nline", "/tmp/100%",  "/tmp/#tag"};

QByteArray Bytes(const char* text)
{
    return QByteArray(text);
}

// Data as it comes from another program over the clipboard or a drag: the
// bytes exactly as written (QMimeData::setData would parse a URI list itself).
class TForeignMimeData final : public QMimeData
{
public:
    void Put(const QString& format, const QByteArray& payload) { payloads_[format] = payload; }
    QStringList formats() const override { return payloads_.keys(); }
    bool hasFormat(const QString& format) const override { return payloads_.contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override { return payloads_.value(format); }

private:
    QMap<QString, QByteArray> payloads_;
};

TEST(FileListCodec, WritesEveryFormatExactly)
{
    QMimeData data;
    WriteFileList(data, {"/tmp/a b.txt", "/tmp/Grüße"}, false);
    EXPECT_EQ(data.data("text/uri-list"), Bytes("file:///tmp/a%20b.txt\r\nfile:///tmp/Gr%C3%BC%C3%9Fe\r\n"));
    EXPECT_EQ(data.data("x-special/gnome-copied-files"),
              Bytes("copy\nfile:///tmp/a%20b.txt\nfile:///tmp/Gr%C3%BC%C3%9Fe"));
    EXPECT_EQ(data.data("application/x-kde-cutselection"), Bytes("0"));
    EXPECT_EQ(data.data("text/plain"), Bytes("/tmp/a b.txt\n/tmp/Grüße"));

    QMimeData cut;
    WriteFileList(cut, {"/x"}, true);
    EXPECT_EQ(cut.data("x-special/gnome-copied-files"), Bytes("cut\nfile:///x"));
    EXPECT_EQ(cut.data("application/x-kde-cutselection"), Bytes("1"));
}

TEST(FileListCodec, AwkwardNamesSurviveTheRoundTrip)
{
    for (const bool cut : {false, true}) {
        QMimeData data;
        WriteFileList(data, kAwkwardPaths, cut);
        const std::optional<TFileList> list = ReadFileList(data);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->Paths, kAwkwardPaths);
        EXPECT_EQ(list->Cut, cut);
    }
}

TEST(FileListCodec, UrisAreGLibsByteForByte)
{
    // Every byte a name can hold, between two letters: the lists we write must
    // carry the URIs GLib makes, or other programs' lists and ours disagree.
    for (int byte = 1; byte < 256; ++byte) {
        const std::string path = std::string("/x/a") + static_cast<char>(byte) + "b";
        gchar* const expected = g_filename_to_uri(path.c_str(), nullptr, nullptr);
        ASSERT_NE(expected, nullptr) << byte;
        const std::string uri(expected);
        g_free(expected);
        EXPECT_EQ(FileUriFromPath(path), uri) << byte;
        EXPECT_EQ(UriListPayload({path}), QByteArray::fromStdString(uri + "\r\n")) << byte;
        EXPECT_EQ(UriListPaths(QByteArray::fromStdString(uri)), std::vector<std::string>{path}) << byte;
    }
    EXPECT_EQ(FileUriFromPath("relative/a"), "");
}

TEST(FileListCodec, ReadsWhatGnomeAndNautilusWrite)
{
    TForeignMimeData gnome;
    gnome.Put("x-special/gnome-copied-files", Bytes("cut\nfile:///home/u/a%20b\nfile:///home/u/c"));
    std::optional<TFileList> list = ReadFileList(gnome);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->Cut);
    EXPECT_EQ(list->Paths, (std::vector<std::string>{"/home/u/a b", "/home/u/c"}));

    // Some writers end the payload with a newline or a NUL byte.
    gnome.Put("x-special/gnome-copied-files", QByteArray("copy\nfile:///d\n\0", 16));
    list = ReadFileList(gnome);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->Cut);
    EXPECT_EQ(list->Paths, std::vector<std::string>{"/d"});

    // Newer nautilus: the GNOME lines as plain text after a marker line.
    TForeignMimeData nautilus;
    nautilus.Put("text/plain", Bytes("x-special/nautilus-clipboard\ncut\nfile:///home/u/x\nfile:///home/u/y\n"));
    list = ReadFileList(nautilus);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->Cut);
    EXPECT_EQ(list->Paths, (std::vector<std::string>{"/home/u/x", "/home/u/y"}));

    // Plain text without the marker is just text, however long; a list
    // too long to be read whole is no list.
    TForeignMimeData text;
    text.Put("text/plain", Bytes("/home/u/x\n"));
    EXPECT_FALSE(ReadFileList(text));
    text.Put("text/plain", QByteArray(64 << 20, '\n'));
    EXPECT_FALSE(ReadFileList(text));
    text.Put("text/plain", "x-special/nautilus-clipboard\r\ncopy\n" + QByteArray(17 << 20, '\n') + "file:///a\n");
    EXPECT_FALSE(ReadFileList(text));
}

TEST(FileListCodec, ReadsWhatKdeWrites)
{
    TForeignMimeData kde;
    kde.Put("text/uri-list", Bytes("# comment\r\nfile:///home/u/a\r\n\r\nfile://localhost/home/u/b%23c\r\n"));
    kde.Put("application/x-kde-cutselection", Bytes("1"));
    std::optional<TFileList> list = ReadFileList(kde);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->Cut);
    EXPECT_EQ(list->Paths, (std::vector<std::string>{"/home/u/a", "/home/u/b#c"}));

    // Without the flag (a copy, or a drag from a browser) it is no cut.
    TForeignMimeData copy;
    copy.Put("text/uri-list", Bytes("file:///home/u/a\n"));
    list = ReadFileList(copy);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->Cut);
}

TEST(FileListCodec, GnomeFormatIsPreferredAndForeignUrisAreLeftOut)
{
    TForeignMimeData both;
    both.Put("x-special/gnome-copied-files", Bytes("copy\nfile:///from/gnome"));
    both.Put("text/uri-list", Bytes("file:///from/kde\r\n"));
    both.Put("application/x-kde-cutselection", Bytes("1"));
    std::optional<TFileList> list = ReadFileList(both);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->Cut);
    EXPECT_EQ(list->Paths, std::vector<std::string>{"/from/gnome"});

    TForeignMimeData web;
    web.Put("text/uri-list", Bytes("https://example.org/a\r\nfile://server/share/b\r\nfile:///ok\r\n"
                                   "file:///bad%zz\r\nfile:///nul%00x\r\n"));
    list = ReadFileList(web);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Paths, std::vector<std::string>{"/ok"});

    TForeignMimeData none;
    none.Put("text/uri-list", Bytes("https://example.org/a\r\n"));
    EXPECT_FALSE(ReadFileList(none));
    EXPECT_FALSE(ReadFileList(QMimeData()));
}

TEST(FileListCodec, LinesThatCouldNameAnotherFileAreRefused)
{
    // Every system call stops at an inner NUL while a dialog shows what follows it.
    TForeignMimeData nul;
    nul.Put("x-special/gnome-copied-files", QByteArray::fromStdString("cut\nfile:///home/u/Dokumente\0/harmlos.txt"s));
    EXPECT_FALSE(ReadFileList(nul));

    const std::vector<std::string> paths = UriListPaths(QByteArray::fromStdString(
        "file:///a\0b\r\n"                                        // inner NUL
        "file:///escaped%2Fslash\r\nfile:///escaped%2fslash\r\n"  // one name that reads as two
        "file:///nul%00\r\n"                                      // an escaped NUL
        "file:relative/b\r\nfile://relative/b\r\nrelative/b\r\n/abs/but/no/uri\r\n"
        "smb:///share/c\r\n"  // no local file
        "file:///up/../etc\r\nfile:///dot/./x\r\nfile:///tail/..\r\n"
        "file:///kept%20name\r\n"s));
    EXPECT_EQ(paths, std::vector<std::string>{"/kept name"});
}

TEST(ShellIDListArray, LayoutAndRoundTrip)
{
    const TItemIdListPtr parent = MakeVirtualItem(TVirtualFolder::Home);
    const TItemIdListPtr a = MakeFileSystemItem("a b", 0, 8);
    const TItemIdListPtr b = MakeFileSystemItem("bad\xff", kItemIsFolder, 4);
    const TItemIdList* children[] = {a.get(), b.get()};
    const QByteArray block = EncodeShellIDListArray(parent.get(), children);

    // Count 2, three offsets, then the lists back to back.
    const auto u32 = [&](int at) {
        return std::uint32_t(std::uint8_t(block[at])) | std::uint32_t(std::uint8_t(block[at + 1])) << 8 |
               std::uint32_t(std::uint8_t(block[at + 2])) << 16 | std::uint32_t(std::uint8_t(block[at + 3])) << 24;
    };
    EXPECT_EQ(u32(0), 2u);
    EXPECT_EQ(u32(4), 16u);
    EXPECT_EQ(u32(8), 16u + IDListSize(parent.get()));
    EXPECT_EQ(u32(12), u32(8) + IDListSize(a.get()));
    EXPECT_EQ(std::size_t(block.size()), u32(12) + IDListSize(b.get()));

    TShellIDListArray decoded;
    ASSERT_TRUE(DecodeShellIDListArray(block, decoded));
    EXPECT_TRUE(IDListsEqual(decoded.Parent.get(), parent.get()));
    ASSERT_EQ(decoded.Children.size(), 2u);
    EXPECT_TRUE(IDListsEqual(decoded.Children[0].get(), a.get()));
    EXPECT_TRUE(IDListsEqual(decoded.Children[1].get(), b.get()));
}

TEST(ShellIDListArray, MalformedBlocksAreRefused)
{
    const TItemIdListPtr parent = MakeVirtualItem(TVirtualFolder::Home);
    const TItemIdListPtr a = MakeFileSystemItem("a", 0, 8);
    const TItemIdList* children[] = {a.get()};
    const QByteArray block = EncodeShellIDListArray(parent.get(), children);
    TShellIDListArray decoded;

    EXPECT_FALSE(DecodeShellIDListArray(QByteArray(), decoded));
    EXPECT_FALSE(DecodeShellIDListArray(block.left(block.size() - 1), decoded));  // last terminator cut off
    QByteArray huge = block;
    huge[0] = char(0xFF);  // a count far beyond the block
    EXPECT_FALSE(DecodeShellIDListArray(huge, decoded));
    QByteArray outside = block;
    outside[8] = char(0xF0);  // an offset past the end
    EXPECT_FALSE(DecodeShellIDListArray(outside, decoded));
    QByteArray badItem = block;
    badItem[int(IDListSize(parent.get())) + 12] = 1;  // an item count below its own field
    EXPECT_FALSE(DecodeShellIDListArray(badItem, decoded));
}

}  // namespace
