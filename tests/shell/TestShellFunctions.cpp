#include "tests/shell/NavigatorFixture.h"

#include "shell/navigator/functions/DroppedFiles.h"
#include "shell/navigator/functions/ShellNames.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TPidlHistory.h"

#include <QMimeData>
#include <QUrl>

#include <utility>

using ShellFunctions = NavigatorFixture;

TEST(ShellNames, MatchesFilter)
{
    EXPECT_TRUE(MatchesFilter("a.b", "*.*"));
    EXPECT_FALSE(MatchesFilter("README", "*.*"));
    EXPECT_TRUE(MatchesFilter("film.avi.0001", "*.0001"));
    EXPECT_TRUE(MatchesFilter("Film.AVI", "*.avi"));
    EXPECT_TRUE(MatchesFilter("Größe.txt", "GRÖSSE.txt") == false);
    EXPECT_TRUE(MatchesFilter("äpfel.txt", "Ä*.TXT"));
    EXPECT_TRUE(MatchesFilter("a1c", "a?c"));
    EXPECT_FALSE(MatchesFilter("ac", "a?c"));
    EXPECT_TRUE(MatchesFilter("[x].txt", "[x]*"));
    EXPECT_TRUE(MatchesFilter("abcabd", "*ab?"));
    EXPECT_FALSE(MatchesFilter("name", ""));
    EXPECT_TRUE(MatchesFilter("", "*"));
}

TEST(ShellNames, NamesKeepTheirBytesThroughFileNames)
{
    TFileNames names;
    names.Add(std::string("roh\xff"));
    names.Add(QStringLiteral("Größe"));
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names.GetBytes(0), "roh\xff");
    EXPECT_EQ(names.Get(1), QStringLiteral("Größe"));
    EXPECT_EQ(names.GetBytes(2), "");
    names.Clear();
    EXPECT_TRUE(names.IsEmpty());
}

TEST(ShellPidlHistory, AddGoBackGoForwardDelete)
{
    TPidlHistory history;
    history.Add(nullptr);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Position(), -1);
    for (int i = 0; i < 4; ++i)
        history.Add(MakeDesktopIDList());
    EXPECT_EQ(history.Position(), 3);
    history.GoBack(2);
    EXPECT_EQ(history.Position(), 1);
    history.GoBack(9);
    EXPECT_EQ(history.Position(), 0);
    history.GoForward(9);
    EXPECT_EQ(history.Position(), 3);
    history.GoBack(2);
    // Adding after going back drops what lay ahead.
    history.Add(MakeDesktopIDList());
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Position(), 2);
    history.Delete(0);
    EXPECT_EQ(history.Count(), 2);
    EXPECT_EQ(history.Position(), 1);
    history.Delete(1);
    EXPECT_EQ(history.Position(), 0);
    history.Delete(5);
    EXPECT_EQ(history.Count(), 1);
}

TEST_F(ShellFunctions, DriveAndSharePaths)
{
    EXPECT_EQ(DrivePart(Work() + "/x"), "/");
    EXPECT_EQ(DrivePart(Stick() + "/a/b"), Stick());
    EXPECT_EQ(DrivePart("relativ/x"), "");
    EXPECT_EQ(DrivePart("//server/share/dir"), "//server/share");
    EXPECT_TRUE(IsDriveOrShareRoot("/"));
    EXPECT_TRUE(IsDriveOrShareRoot(Stick()));
    EXPECT_TRUE(IsDriveOrShareRoot(Stick() + "/"));
    EXPECT_FALSE(IsDriveOrShareRoot(Stick() + "/a"));
    EXPECT_FALSE(IsDriveOrShareRoot(Work()));
    EXPECT_TRUE(IsDriveOrShareRoot("//server/share/"));
    EXPECT_TRUE(IsUNCPath("//server/share"));
    EXPECT_FALSE(IsUNCPath("//server"));
    EXPECT_FALSE(IsUNCPath("/a/b"));
    EXPECT_EQ(GetServerName("//server/share/x"), "server");
    EXPECT_EQ(GetServerName("/server/share"), "");
    EXPECT_FALSE(IsNetworkIDList(Parse(Work()).get()));
    EXPECT_TRUE(IsNetworkIDList(GetSpecialFolderIDList(SF_NETWORK).get()));
    EXPECT_FALSE(IsNetworkIDList(nullptr));
}

TEST_F(ShellFunctions, FilesOnDisk)
{
    WriteFile(Work() + "/fünf", 5);
    MakeSymlink(Work() + "/fehlt", Work() + "/kaputt");
    MakeSymlink("../work/fünf", Work() + "/relativ");
    EXPECT_TRUE(PathExists(Work() + "/fünf"));
    EXPECT_TRUE(PathExists(Work() + "/"));
    EXPECT_TRUE(PathExists(Work() + "/kaputt"));
    EXPECT_TRUE(PathExists("/"));
    EXPECT_FALSE(PathExists(Work() + "/nichts"));
    EXPECT_FALSE(PathExists(""));
    EXPECT_EQ(GetFileSize64(Work() + "/fünf"), 5);
    EXPECT_EQ(GetFileSize64(Work()), 0);
    EXPECT_EQ(GetFileSize64(Work() + "/nichts"), -1);
    EXPECT_GE(GetDiskFreeSpace(Work()), 0);
    EXPECT_EQ(GetDiskFreeSpace(Work() + "/nichts"), -1);
    EXPECT_EQ(ResolveShortcut(Work() + "/relativ"), Work() + "/fünf");
    EXPECT_EQ(ResolveShortcut(Work() + "/kaputt"), Work() + "/fehlt");
    EXPECT_EQ(ResolveShortcut(Work() + "/fünf"), "");
}

namespace {

// A data object as another program's drop hands it over: the bytes as sent.
class TForeignMimeData : public QMimeData
{
public:
    explicit TForeignMimeData(QByteArray uriList)
        : uriList_(std::move(uriList))
    {
    }
    QStringList formats() const override { return {QStringLiteral("text/uri-list")}; }
    bool hasFormat(const QString& type) const override { return type == QLatin1String("text/uri-list"); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override
    {
        return hasFormat(type) ? QVariant(uriList_) : QVariant();
    }

private:
    QByteArray uriList_;
};

}  // namespace

TEST(DroppedFiles, LocalFilesOfAnUriList)
{
    const TForeignMimeData data("# kommentar\r\nfile:///tmp/a%20b\r\n\r\nfile://localhost/tmp/roh%FF\r\n"
                                "file://anderer/tmp/x\r\nhttp://example.org/y\r\nfile:///tmp/kaputt%zz\r\n"
                                "file:///tmp/gross\n");
    const TFileNames files = FilesFromMimeData(&data);
    ASSERT_EQ(files.Count(), 3);
    EXPECT_EQ(files.GetBytes(0), "/tmp/a b");
    EXPECT_EQ(files.GetBytes(1), "/tmp/roh\xff");
    EXPECT_EQ(files.GetBytes(2), "/tmp/gross");
    EXPECT_EQ(FilesFromMimeData(nullptr).Count(), 0);
    QMimeData text;
    text.setText("/tmp/a");
    EXPECT_EQ(FilesFromMimeData(&text).Count(), 0);
    // Qt's own data objects keep their URIs as URLs; they come back the same way.
    QMimeData own;
    own.setUrls({QUrl::fromLocalFile("/tmp/mit leer"), QUrl("https://example.org/")});
    const TFileNames ownFiles = FilesFromMimeData(&own);
    ASSERT_EQ(ownFiles.Count(), 1);
    EXPECT_EQ(ownFiles.GetBytes(0), "/tmp/mit leer");
}
