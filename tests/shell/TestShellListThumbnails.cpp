#include "tests/shell/ShellListFixture.h"

#include "shell/navigator/ShellIDLists.h"
#include "shell/panes/list/TThumbnailWorkItem.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Thumbnails come from workers; under the sanitizers they may take a while.
constexpr int kPictureDeadlineMs = 20000;

class ThumbnailList : public ShellListFixture
{
protected:
    void TearDown() override
    {
        TThumbnailWorkItem::SetExtraction(nullptr);
        ShellListFixture::TearDown();
    }

    std::string At(const char* name) const { return Work() + "/" + name; }

    static void WritePicture(const std::string& path, QColor colour, const char* format, int ageSeconds = 60)
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString(path), format));
        // Whole seconds apart: the thumbnail cache tells versions apart by their second.
        const timespec times[2] = {{::time(nullptr) - ageSeconds, 0}, {::time(nullptr) - ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    // Switches thumbnails on and paints once, so every entry has its placeholder.
    void ShowThumbnails()
    {
        List().SetThumbnails(true);
        List().viewport()->repaint();
    }

    // The colour a little inside the entry's picture (inside the frame).
    QColor Inside(const char* caption)
    {
        const TListItem* item = ItemNamed(Q(caption));
        return List().ThumbnailImages().Pixmap(item->ImageIndex).toImage().pixelColor(5, 5);
    }

    bool Shown(const char* caption) { return List().ThumbnailShown(*ItemNamed(Q(caption))); }

    bool WaitShown(std::initializer_list<const char*> captions)
    {
        return QTest::qWaitFor(
            [&] {
                for (const char* caption : captions)
                    if (!Shown(caption))
                        return false;
                return true;
            },
            kPictureDeadlineMs);
    }

    static bool WaitPoolIdle()
    {
        return QTest::qWaitFor([] { return TWorkerPools::ThumbnailPool()->PendingCount() == 0; },
                               kPictureDeadlineMs);
    }

    static QString Q(const char* text) { return QString::fromUtf8(text); }
};

bool IsRed(QColor colour)
{
    return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}

bool IsBlue(QColor colour)
{
    return colour.blue() > 200 && colour.red() < 60 && colour.green() < 60;
}

TEST_F(ThumbnailList, PicturesReplaceTheFramedIconsExceptWhereNoneCanBeMade)
{
    WritePicture(At("rot.png"), Qt::red, "png");
    WritePicture(At("blau.jpg"), Qt::blue, "jpg");
    std::ofstream(At("kaputt.jpg")) << "kein Bild";
    MakeDirectory(At("ordner"));
    List().FullRefresh();
    ShowThumbnails();
    EXPECT_EQ(List().ViewStyle(), vsIcon);
    EXPECT_EQ(List().LargeImages(), &List().ThumbnailImages());
    for (const char* caption : {"rot.png", "blau.jpg", "kaputt.jpg", "ordner"}) {
        SCOPED_TRACE(caption);
        ASSERT_GE(ItemNamed(Q(caption))->ImageIndex, 0);
        EXPECT_FALSE(Shown(caption)) << "a framed icon first, the picture comes later";
        const QImage placeholder = List().ThumbnailImages().Pixmap(ItemNamed(Q(caption))->ImageIndex).toImage();
        EXPECT_EQ(placeholder.size(), QSize(100, 100));
        EXPECT_EQ(placeholder.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
    }

    ASSERT_TRUE(WaitShown({"rot.png", "blau.jpg"}));
    EXPECT_TRUE(IsRed(Inside("rot.png")));
    EXPECT_TRUE(IsBlue(Inside("blau.jpg")));
    ASSERT_TRUE(WaitPoolIdle());
    EXPECT_FALSE(Shown("kaputt.jpg"));
    EXPECT_FALSE(Shown("ordner"));
    EXPECT_FALSE(IsRed(Inside("kaputt.jpg")) || IsBlue(Inside("kaputt.jpg")));
}

TEST_F(ThumbnailList, ChangingFolderWhileExtractingDeliversNothingIntoTheNewFolder)
{
    const std::string other = Work() + "/anderer";
    MakeDirectory(other);
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        std::ofstream(At(name)) << "x";
        std::ofstream(other + "/" + name) << "x";
    }
    // A slow extraction: each folder's pictures are held until the test lets
    // them go, red ones for the first folder, blue ones for the second.
    std::atomic<bool> openOld{false};
    std::atomic<bool> openNew{false};
    std::atomic<int> started{0};
    TThumbnailWorkItem::SetExtraction([&](const TItemIdList* absolute, int width, int height) {
        const bool old = GetPathFromIDList(absolute).find("/anderer/") == std::string::npos;
        ++started;
        while (!(old ? openOld : openNew))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(old ? Qt::red : Qt::blue);
        return picture;
    });
    List().FullRefresh();
    ShowThumbnails();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started > 0; }, kPictureDeadlineMs));

    List().SetPath(QString::fromStdString(other));
    List().viewport()->repaint();
    // The old folder's pictures are made and handed over; only the new folder's remain.
    openOld = true;
    ASSERT_TRUE(QTest::qWaitFor([] { return TWorkerPools::ThumbnailPool()->PendingCount() == 3; },
                                kPictureDeadlineMs));
    for (const char* caption : {"a.png", "b.png", "c.png"}) {
        EXPECT_FALSE(Shown(caption)) << caption;
        EXPECT_FALSE(IsRed(Inside(caption))) << caption;
    }
    openNew = true;
    ASSERT_TRUE(WaitShown({"a.png", "b.png", "c.png"}));
    for (const char* caption : {"a.png", "b.png", "c.png"})
        EXPECT_TRUE(IsBlue(Inside(caption))) << caption;

    // A list that goes away while its pictures are made receives none of them.
    openOld = false;
    const int before = started;
    {
        TPzShellList gone;
        gone.resize(300, 300);
        gone.show();
        gone.Loaded();
        gone.SetPath(QString::fromStdString(Work()));
        gone.SetThumbnails(true);
        gone.viewport()->repaint();
        ASSERT_TRUE(QTest::qWaitFor([&] { return started > before; }, kPictureDeadlineMs));
    }
    openOld = true;
    EXPECT_TRUE(WaitPoolIdle());
}

TEST_F(ThumbnailList, SizeAndStyleRules)
{
    WritePicture(At("rot.png"), Qt::red, "png");
    WritePicture(At("rot2.png"), Qt::red, "png");
    List().FullRefresh();
    ShowThumbnails();
    ASSERT_TRUE(WaitShown({"rot.png", "rot2.png"}));

    List().SetThumbnailWidth(60);
    List().SetThumbnailHeight(40);
    EXPECT_EQ(ItemNamed(Q("rot.png"))->ImageIndex, -1) << "completed again when next drawn";
    List().viewport()->repaint();
    ASSERT_TRUE(WaitShown({"rot.png", "rot2.png"}));
    for (const char* caption : {"rot.png", "rot2.png"}) {
        EXPECT_EQ(List().ThumbnailImages().Pixmap(ItemNamed(Q(caption))->ImageIndex).size(), QSize(60, 40));
        EXPECT_TRUE(IsRed(Inside(caption)));
    }

    List().SetViewStyle(vsIcon);
    EXPECT_FALSE(List().Thumbnails()) << "any style set after loading ends thumbnails";
    EXPECT_NE(List().LargeImages(), &List().ThumbnailImages());
    EXPECT_EQ(List().ThumbnailImages().Count(), 0);
    List().SetThumbnails(true);
    List().SetViewStyle(vsReport);
    EXPECT_FALSE(List().Thumbnails());

    // While loading, a stored vsIcon keeps thumbnails; another style does not.
    TPzShellList loading;
    loading.SetThumbnails(true);
    loading.SetViewStyle(vsIcon);
    EXPECT_TRUE(loading.Thumbnails());
    loading.SetViewStyle(vsList);
    EXPECT_FALSE(loading.Thumbnails());
}

TEST_F(ThumbnailList, RefreshContentsRenewsTheRecentlyChanged)
{
    WritePicture(At("neu.png"), Qt::red, "png");
    WritePicture(At("alt.png"), Qt::red, "png");
    List().SetAutomaticRefresh(false);
    List().FullRefresh();
    ShowThumbnails();
    ASSERT_TRUE(WaitShown({"neu.png", "alt.png"}));
    const int oldIndex = ItemNamed(Q("alt.png"))->ImageIndex;

    WritePicture(At("neu.png"), Qt::blue, "png", 2);
    List().RefreshContents();
    List().viewport()->repaint();
    EXPECT_EQ(ItemNamed(Q("alt.png"))->ImageIndex, oldIndex) << "an old file keeps its picture";
    ASSERT_TRUE(WaitShown({"neu.png"}));
    EXPECT_TRUE(IsBlue(Inside("neu.png")));
    EXPECT_EQ(ItemNamed(Q("alt.png"))->ImageIndex, oldIndex);
}

} // namespace
