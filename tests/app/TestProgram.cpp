#include "app/forms/TAboutBox.h"
#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"
#include "app/start/TStartOptions.h"
#include "framework/MessageBox.h"
#include "shell/panes/list/TPzShellList.h"
#include "shell/threads/TWorkerPools.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(Program, StartsInGermanWithTheMainWindowAndTheHiddenAboutBox)
{
    TProgram program;
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Parzello"));
    // Qt's own texts, such as the log memo's context menu, are German too.
    EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QStringLiteral("&Kopieren"));
    EXPECT_FALSE(program.MainForm().isVisible());
    EXPECT_FALSE(program.AboutBox().isVisible());
    EXPECT_EQ(program.AboutBox().parentWidget(), &program.MainForm());
}

TEST(Program, HoldsTheWorkerPoolsForItsWholeRun)
{
    {
        TProgram program;
        EXPECT_NE(TWorkerPools::FolderSizePool(), nullptr);
        EXPECT_NE(TWorkerPools::ThumbnailPool(), nullptr);
        EXPECT_NE(TWorkerPools::ListingPool(), nullptr);
    }
    EXPECT_EQ(TWorkerPools::FolderSizePool(), nullptr);
    EXPECT_EQ(TWorkerPools::ThumbnailPool(), nullptr);
    EXPECT_EQ(TWorkerPools::ListingPool(), nullptr);
}

TEST(Program, RunShowsTheMainWindowAndEndsWhenItCloses)
{
    TProgram program;
    bool shownWhileRunning = false;
    QTimer::singleShot(0, &program.MainForm(), [&] {
        shownWhileRunning = program.MainForm().isVisible();
        program.MainForm().findChild<QPushButton*>(QStringLiteral("EndeprgBtn"))->click();
    });
    EXPECT_EQ(program.Run(TStartOptions({QStringLiteral("parzello")})), 0);
    EXPECT_TRUE(shownWhileRunning);
    EXPECT_FALSE(program.MainForm().isVisible());
}

TEST(Program, QuitWhenShownEndsTheRunAfterTheWindowIsPainted)
{
    TProgram program;
    bool safetyNetFired = false;
    // Only against a hang: the run must end by itself long before.
    QTimer::singleShot(60000, &program.MainForm(), [&] {
        safetyNetFired = true;
        program.MainForm().close();
    });
    EXPECT_EQ(program.Run(TStartOptions({QStringLiteral("parzello"), QStringLiteral("--quit-when-shown")})), 0);
    EXPECT_FALSE(safetyNetFired);
}

// With a start file the run ends once the file's folder is painted with the
// file selected, which is what a start timed from outside waits for.
TEST(Program, QuitWhenShownWithAStartFileEndsOnceTheFileIsShownSelected)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"a.txt", "film.avi", "z.txt"})
        std::ofstream(QDir(folder.path()).filePath(QString::fromLatin1(name)).toStdString());
    TProgram program;
    bool safetyNetFired = false;
    QTimer::singleShot(60000, &program.MainForm(), [&] {
        safetyNetFired = true;
        program.MainForm().close();
    });
    const QString file = QDir(folder.path()).filePath(QStringLiteral("film.avi"));
    EXPECT_EQ(program.Run(TStartOptions({QStringLiteral("parzello"), QStringLiteral("--quit-when-shown"), file})), 0);
    EXPECT_FALSE(safetyNetFired);
    auto* list = program.MainForm().findChild<TPzShellList*>(QStringLiteral("PzShellList1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(QDir::cleanPath(list->Path()), QDir(folder.path()).canonicalPath());
    EXPECT_EQ(list->SelectedNames(), QStringList{QStringLiteral("film.avi")});
}

// The application's loops told to end in the middle of a split (no window is
// asked): the run ends, the split stops and is waited for, and none of its pieces stays.
TEST(Program, ExitingDuringASplitStopsItAndWaitsForIt)
{
    std::vector<QString> boxes;
    const TScopedMessageHandler answers([&](const TMessageRequest& request) {
        boxes.push_back(request.Text);
        return TMessageAnswer{0, false};
    });
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string source = QDir(folder.path()).filePath(QStringLiteral("film.bin")).toStdString();
    std::filesystem::resize_file((std::ofstream(source), source), std::uintmax_t{1} << 30);
    TProgram program;
    // The first log line comes while the split runs; it takes far longer than
    // the work needs to notice a stop (a progress report's interval).
    QObject::connect(program.MainForm().findChild<QPlainTextEdit*>(QStringLiteral("Memo1")),
                     &QPlainTextEdit::textChanged, &program.MainForm(), [] { QCoreApplication::exit(0); });
    bool working = true;
    QTimer::singleShot(0, &program.MainForm(), [&] {
        program.MainForm().SplitFile(source);
        working = program.MainForm().IsWorking();
    });
    EXPECT_EQ(program.Run(TStartOptions({QStringLiteral("parzello")})), 0);
    EXPECT_FALSE(working);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("film.bin")});
}

}  // namespace
