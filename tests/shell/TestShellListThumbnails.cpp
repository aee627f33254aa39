#include "tests/shell/ShellListFixture.h"

#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/panes/list/TThumbnailWorkItem.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Thumbnails come from workers; under the sanitizers they may take a while.
constexpr int kPictureDeadlineMs = 20000;

using TNames = std::initializer_list<const char*>;

class ThumbnailList : public ShellListFixture
{
protected:
    void TearDown() override
    {
        TThumbnailWorkItem::SetExtraction(nullptr);
        ShellListFixture::TearDown();
    }
    std::string At(const char* name) const { return Work() + "/" + name; }
    // A picture of one colour, `age` seconds old (the cache tells versions apart by the second).
    void WritePicture(const char* name, QColor colour, int age = 60)
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString(At(name))));
        const timespec times[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, At(name).c_str(), times, 0), 0);
    }
    // Thumbnails on and one paint, so every entry has its placeholder.
    void ShowThumbnails()
    {
        List().FullRefresh();
        List().SetThumbnails(true);
        List().viewport()->repaint();
    }
    const TListItem& Entry(const char* caption) const { return *ItemNamed(QString::fromUtf8(caption)); }
    QImage Picture(const char* caption) { return List().ThumbnailImages().Pixmap(Entry(caption).ImageIndex).toImage(); }
    // Whether the picture inside the entry's frame is of about this colour.
    bool Shows(const char* caption, QColor colour)
    {
        const QColor inside = Picture(caption).pixelColor(5, 5);
        return std::abs(inside.red() - colour.red()) + std::abs(inside.green() - colour.green()) +
                   std::abs(inside.blue() - colour.blue()) <
               90;
    }
    bool Shown(const char* caption) { return List().ThumbnailShown(Entry(caption)); }
    bool WaitShown(TNames captions)
    {
        return QTest::qWaitFor(
            [&] { return std::all_of(captions.begin(), captions.end(), [&](auto* name) { return Shown(name); }); },
            kPictureDeadlineMs);
    }
    static bool WaitPending(int count)
    {
        return QTest::qWaitFor([&] { return TWorkerPools::ThumbnailPool()->PendingCount() == count; },
                               kPictureDeadlineMs);
    }
};

TEST_F(ThumbnailList, PicturesReplaceTheFramedIconsExceptWhereNoneCanBeMade)
{
    WritePicture("rot.png", Qt::red);
    WritePicture("blau.jpg", Qt::blue);
    std::ofstream(At("kaputt.jpg")) << "kein Bild";
    MakeDirectory(At("ordner"));
    ShowThumbnails();
    EXPECT_EQ(List().ViewStyle(), vsIcon);
    for (const char* caption : {"rot.png", "blau.jpg", "kaputt.jpg", "ordner"}) {
        EXPECT_FALSE(Shown(caption)) << caption << ": a framed icon first, the picture later";
        EXPECT_EQ(Picture(caption).size(), QSize(100, 100));
        EXPECT_EQ(Picture(caption).pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
    }
    ASSERT_TRUE(WaitShown({"rot.png", "blau.jpg"}));
    EXPECT_TRUE(Shows("rot.png", Qt::red));
    EXPECT_TRUE(Shows("blau.jpg", Qt::blue));
    ASSERT_TRUE(WaitPending(0));
    EXPECT_FALSE(Shown("kaputt.jpg"));
    EXPECT_FALSE(Shown("ordner"));
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
    ShowThumbnails();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started > 0; }, kPictureDeadlineMs));

    List().SetPath(QString::fromStdString(other));
    List().viewport()->repaint();
    // The old folder's pictures are made and handed over; only the new folder's remain.
    openOld = true;
    ASSERT_TRUE(WaitPending(3));
    for (const char* caption : {"a.png", "b.png", "c.png"})
        EXPECT_FALSE(Shown(caption) || Shows(caption, Qt::red)) << caption;
    openNew = true;
    ASSERT_TRUE(WaitShown({"a.png", "b.png", "c.png"}));
    for (const char* caption : {"a.png", "b.png", "c.png"})
        EXPECT_TRUE(Shows(caption, Qt::blue)) << caption;

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
    EXPECT_TRUE(WaitPending(0));
}

TEST_F(ThumbnailList, SizeAndStyleRules)
{
    WritePicture("rot.png", Qt::red);
    WritePicture("rot2.png", Qt::red);
    ShowThumbnails();
    ASSERT_TRUE(WaitShown({"rot.png", "rot2.png"}));

    List().SetThumbnailWidth(60);
    List().SetThumbnailHeight(40);
    EXPECT_EQ(Entry("rot.png").ImageIndex, -1) << "completed again when next drawn";
    List().viewport()->repaint();
    ASSERT_TRUE(WaitShown({"rot.png", "rot2.png"}));
    for (const char* caption : {"rot.png", "rot2.png"})
        EXPECT_TRUE(Picture(caption).size() == QSize(60, 40) && Shows(caption, Qt::red)) << caption;

    List().SetViewStyle(vsIcon);
    EXPECT_FALSE(List().Thumbnails()) << "any style set after loading ends thumbnails";
    EXPECT_NE(List().LargeImages(), &List().ThumbnailImages());
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
    WritePicture("neu.png", Qt::red);
    WritePicture("alt.png", Qt::red);
    List().SetAutomaticRefresh(false);
    ShowThumbnails();
    ASSERT_TRUE(WaitShown({"neu.png", "alt.png"}));
    const int oldIndex = Entry("alt.png").ImageIndex;

    WritePicture("neu.png", Qt::blue, 2);
    List().RefreshContents();
    List().viewport()->repaint();
    ASSERT_TRUE(WaitShown({"neu.png"}));
    EXPECT_TRUE(Shows("neu.png", Qt::blue));
    EXPECT_EQ(Entry("alt.png").ImageIndex, oldIndex) << "an older file keeps its picture";
}

}  // namespace
