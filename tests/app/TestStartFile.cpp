#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"
#include "app/start/TStartFile.h"
#include "app/start/TStartOptions.h"
#include "framework/MessageBox.h"
#include "shell/panes/list/TPzShellList.h"
#include "shell/panes/tree/TPzShellTree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(StartFile, AcceptsAFileByPathOrAddressAndExplainsEveryOtherName)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("mein film.avi.0001"));
    QFile created(file);
    ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    created.close();

    // A relative name is read against the working folder.
    const QString previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const TStartFile relative = TStartFile::Check(QStringLiteral("mein film.avi.0001"));
    QDir::setCurrent(previousFolder);
    EXPECT_EQ(relative.Path(), file);
    EXPECT_TRUE(relative.Problem().isEmpty());

    const TStartFile address = TStartFile::Check(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
    EXPECT_EQ(address.Path(), file);

    // A folder is opened as itself.
    const TStartFile opened = TStartFile::Check(folder.path());
    EXPECT_EQ(opened.Path(), folder.path());
    EXPECT_TRUE(opened.IsFolder());
    EXPECT_FALSE(relative.IsFolder());

    for (const QString& noFile : {folder.filePath(QStringLiteral("fehlt.bin")), QStringLiteral("/dev/null"),
                                  folder.filePath(QStringLiteral("fehlt/mein film.avi.0001"))}) {
        const TStartFile checked = TStartFile::Check(noFile);
        EXPECT_TRUE(checked.Path().isEmpty()) << noFile.toStdString();
        EXPECT_TRUE(checked.Problem().contains(noFile)) << checked.Problem().toStdString();
    }
    EXPECT_TRUE(TStartFile::Check(QString()).Problem().isEmpty());
}

TEST(StartFile, ANameThatIsNoFileIsReportedOverTheShownWindowAndTheRunGoesOn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missing = folder.filePath(QStringLiteral("film.avi.0001"));
    const TStartOptions options({QStringLiteral("parzello"), missing});
    EXPECT_EQ(options.File(), missing);

    TProgram program;
    QList<TMessageRequest> messages;
    bool windowShownBehindMessage = false;
    TScopedMessageHandler answer([&](const TMessageRequest& request) {
        messages << request;
        windowShownBehindMessage = program.MainForm().isVisible();
        // The run goes on after the message: end it as the user would.
        QTimer::singleShot(0, &program.MainForm(), [&] { program.MainForm().close(); });
        return TMessageAnswer{};
    });
    // Only against a hang: the message ends the run long before.
    QTimer::singleShot(60000, &program.MainForm(), [&] { program.MainForm().close(); });
    EXPECT_EQ(program.Run(options), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first().Owner, &program.MainForm());
    EXPECT_EQ(messages.first().Icon, TMessageIcon::Warning);
    EXPECT_TRUE(messages.first().Text.contains(missing));
    EXPECT_TRUE(windowShownBehindMessage);
}

TEST(StartFile, AFolderArgumentOpensThatFolderOnTheSplitTab)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("innen")));
    const QString inner = folder.filePath(QStringLiteral("innen"));
    TProgram program;
    QList<TMessageRequest> messages;
    TScopedMessageHandler answer([&](const TMessageRequest& request) {
        messages << request;
        return TMessageAnswer{};
    });
    TMainForm& form = program.MainForm();
    auto* tree = form.findChild<TPzShellTree*>(QStringLiteral("PzShellTree1"));
    auto* list = form.findChild<TPzShellList*>(QStringLiteral("PzShellList1"));
    ASSERT_TRUE(tree && list);
    // The run ends once the window shows the folder.
    QTimer watch;
    watch.callOnTimeout([&] {
        if (list->Path() == inner + QLatin1Char('/'))
            form.close();
    });
    watch.start(10);
    QTimer::singleShot(60000, &form, [&] { form.close(); });
    EXPECT_EQ(program.Run(TStartOptions({QStringLiteral("parzello"), inner})), 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(tree->SelectedFolder(), inner);
    EXPECT_EQ(list->Path(), inner + QLatin1Char('/'));
}

}  // namespace
