#include "tests/shell/NavigatorFixture.h"

#include "platform/commands/IQueryInfo.h"
#include "platform/core/system/LastError.h"
#include "platform/exchange/IDataObject.h"
#include "shell/navigator/EShellNavigatorError.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <cerrno>
#include <unistd.h>

using NavigatorCommands = NavigatorFixture;

TEST_F(NavigatorCommands, ThumbnailsAndInfoTips)
{
    QImage picture(120, 60, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    ASSERT_TRUE(picture.save(QFile::decodeName(QByteArray::fromStdString(Work() + "/bild.png"))));
    WriteFile(Work() + "/text.txt", 3000);
    Navigator().SetFolderPath(Work());

    Navigator().SetObjectNameBytes("bild.png");
    const QImage thumbnail = Navigator().ExtractThumbnail(64, 64);
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_LE(thumbnail.width(), 64);
    EXPECT_LE(thumbnail.height(), 64);
    EXPECT_FALSE(Navigator().ExtractThumbnail(0, -1).isNull());

    Navigator().SetObjectNameBytes("text.txt");
    EXPECT_TRUE(Navigator().ExtractThumbnail(64, 64).isNull());
    EXPECT_FALSE(Navigator().GetInfoTip(false).isEmpty());
    EXPECT_FALSE(Navigator().GetInfoTip(true).isEmpty());
}

TEST_F(NavigatorCommands, ObjectsForACommand)
{
    WriteFile(Work() + "/a.txt");
    WriteFile(Work() + "/b.txt");
    Navigator().SetFolderPath(Work());
    Navigator().SetObjectNameBytes("a.txt");

    // One name in the folder, then one path elsewhere.
    Navigator().MultiObjects().Add(std::string("b.txt"));
    EXPECT_TRUE(Navigator().GetObjectInterface(TUIObjectKind::QueryInfo));
    EXPECT_TRUE(Navigator().MultiObjects().IsEmpty());
    EXPECT_EQ(Navigator().ObjectNameBytes(), "a.txt");
    Navigator().MultiObjects().Add(Work() + "/b.txt");
    EXPECT_TRUE(Navigator().GetObjectInterface(TUIObjectKind::QueryInfo));
    EXPECT_EQ(Navigator().ObjectNameBytes(), "b.txt");

    // Several objects: an info tip is for one only, but the list is emptied
    // and the current object put back all the same.
    Navigator().MultiObjects().Add(std::string("a.txt"));
    Navigator().MultiObjects().Add(std::string("b.txt"));
    SetLastError(0);
    EXPECT_FALSE(Navigator().GetObjectInterface(TUIObjectKind::QueryInfo));
    EXPECT_NE(GetLastError(), 0);
    EXPECT_TRUE(Navigator().MultiObjects().IsEmpty());
    EXPECT_EQ(Navigator().ObjectNameBytes(), "b.txt");

    // A name that is nowhere fails without raising.
    Navigator().MultiObjects().Add(Work() + "/fehlt/c.txt");
    EXPECT_FALSE(Navigator().GetObjectInterface(TUIObjectKind::QueryInfo));
    EXPECT_EQ(Navigator().FolderPath(), Work() + "/");
}

TEST_F(NavigatorCommands, ACommandActsOnlyOnTheObjectsNamed)
{
    WriteFile(Work() + "/a.txt");
    WriteFile(Work() + "/README");
    MakeDirectory(Work() + "/weg");
    MakeDirectory(Work() + "/tief");
    WriteFile(Work() + "/tief/b.txt");
    Navigator().SetFolderPath(Work());
    const auto filesOf = [&](auto... names) {
        (Navigator().MultiObjects().Add(std::string(names)), ...);
        const auto data =
            std::dynamic_pointer_cast<IDataObject>(Navigator().GetObjectInterface(TUIObjectKind::DataObject));
        return data ? data->FileNames() : std::vector<std::string>{"<none>"};
    };

    // A sub-folder that went away after it was named: no drop target at all,
    // in particular not the shown folder's own.
    Navigator().MultiObjects().Add(std::string("weg"));
    ASSERT_TRUE(Navigator().GetObjectInterface(TUIObjectKind::DropTarget));
    ASSERT_EQ(::rmdir((Work() + "/weg").c_str()), 0);
    Navigator().MultiObjects().Add(std::string("weg"));
    SetLastError(0);
    EXPECT_FALSE(Navigator().GetObjectInterface(TUIObjectKind::DropTarget));
    EXPECT_EQ(GetLastError(), ENOENT);
    EXPECT_EQ(filesOf("a.txt", "weg"), std::vector<std::string>{"<none>"});
    EXPECT_EQ(filesOf("README", "", "a.txt"), std::vector<std::string>{"<none>"});

    // Names match exactly.
    EXPECT_THROW(Navigator().SetObjectNameBytes("readme"), EShellNavigatorError);
    EXPECT_EQ(filesOf("readme"), std::vector<std::string>{"<none>"});

    // Names and paths together: each item is the one named, whatever comes first.
    const std::vector<std::string> expected{Work() + "/a.txt", Work() + "/tief/b.txt", Work() + "/README"};
    EXPECT_EQ(filesOf("a.txt", Work() + "/tief/b.txt", "README"), expected);
    Navigator().SetFolderPath(Work());
    EXPECT_EQ(filesOf(Work() + "/tief/b.txt", "a.txt"),
              std::vector<std::string>({Work() + "/tief/b.txt", Work() + "/a.txt"}));
}
