#include "tests/shell/NavigatorFixture.h"

#include "platform/icons/TSystemIconTable.h"
#include "platform/icons/TSystemImageList.h"
#include "shell/images/TPzSystemImageList.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

using PzSystemImageList = NavigatorFixture;

TEST_F(PzSystemImageList, SharesTheSystemListOrCopiesIt)
{
    TPzSystemImageList list;
    EXPECT_EQ(list.Version(), "TPzSystemImageList V5.4");
    EXPECT_TRUE(list.ShareImages());
    EXPECT_EQ(list.Size(), si_small);
    EXPECT_EQ(list.Handle(), &TSystemImageList::Get(ilsSmall));
    EXPECT_EQ(list.Width(), kSmallIconSize);

    list.SetSize(si_large);
    EXPECT_EQ(list.Handle(), &TSystemImageList::Get(ilsLarge));
    EXPECT_EQ(list.Width(), kLargeIconSize);

    // A shared list shows the system's pictures and takes none of its own,
    // whoever asks (here through the base class).
    TImageList& base = list;
    QPixmap picture(kLargeIconSize, kLargeIconSize);
    picture.fill(Qt::red);
    const int shared = list.Count();
    EXPECT_TRUE(base.ReadOnly());
    EXPECT_EQ(base.Add(picture), -1);
    base.SetImageSize(8, 8);
    EXPECT_EQ(base.ImageSize(), QSize(kLargeIconSize, kLargeIconSize));
    EXPECT_EQ(list.Count(), shared);

    WriteFile(Work() + "/a.txt");
    const int fileIcon = GetSysIconIndex(Work() + "/a.txt", si_large, false, false);
    ASSERT_GE(fileIcon, 0);
    list.SetShareImages(false);
    EXPECT_EQ(list.Handle(), nullptr);
    const int copied = list.Count();
    EXPECT_EQ(copied, TSystemImageList::Get(ilsLarge).Count());
    EXPECT_FALSE(list.Pixmap(fileIcon).isNull());

    // Icons the system adds later (an icon file no one used before) are not
    // in the copy, and the copy takes pictures of its own.
    const QString iconFile = QString::fromStdString(Work() + "/eigen.png");
    ASSERT_TRUE(picture.save(iconFile));
    const int newIcon = TSystemIconTable::Process().IndexOf({}, iconFile);
    ASSERT_EQ(newIcon, copied);
    EXPECT_EQ(TSystemImageList::Get(ilsLarge).Count(), copied + 1);
    EXPECT_EQ(list.Count(), copied);
    EXPECT_TRUE(list.Pixmap(newIcon).isNull());
    EXPECT_FALSE(base.ReadOnly());
    EXPECT_EQ(base.Add(picture), copied);
    EXPECT_EQ(list.Pixmap(copied).toImage().pixelColor(1, 1), QColor(Qt::red));

    // Shared again, the list shows the system's icons, the new one included.
    list.SetShareImages(true);
    EXPECT_EQ(list.Count(), copied + 1);
    EXPECT_FALSE(list.Pixmap(newIcon).isNull());
}

TEST_F(PzSystemImageList, IconIndexesOfPaths)
{
    EXPECT_GE(GetSysIconIndex(Work() + "/gibt es nicht.txt", si_small, true, false), 0);
    EXPECT_EQ(GetSysIconIndex(Work() + "/gibt es nicht.txt", si_small, false, false), -1);
    EXPECT_GE(GetFolderIconIndex(false), 0);
    EXPECT_GE(GetFolderIconIndex(true), 0);
}

TEST_F(PzSystemImageList, IconFrameBitmap)
{
    TPzSystemImageList large;
    large.SetSize(si_large);
    const int folder = GetFolderIconIndex(false);
    const QImage frame = MakeIconFrameBitmap(large, 60, 80, folder).toImage();
    ASSERT_EQ(frame.size(), QSize(80, 60));
    EXPECT_EQ(frame.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(frame.pixelColor(79, 59), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(frame.pixelColor(5, 5), QColor(Qt::white));

    // Smaller than the icon: drawn at a negative offset, clipped.
    const QPixmap small = MakeIconFrameBitmap(large, 10, 10, folder);
    EXPECT_EQ(small.size(), QSize(10, 10));
    EXPECT_TRUE(MakeIconFrameBitmap(large, 0, 10, folder).isNull());
}
