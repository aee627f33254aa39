#include "tests/shell/NavigatorFixture.h"

#include "platform/exchange/FileClipboard.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0;
}

QAction* FindAction(QMenu& menu, const QString& caption)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == caption)
            return action;
    }
    return nullptr;
}

// Chooses an entry of the next popup menu as a user would (by the keyboard),
// or closes it with Esc when there is no such entry. Records the captions seen.
class TMenuChooser
{
public:
    explicit TMenuChooser(QString caption)
        : caption_(std::move(caption))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(5);
    }
    const QStringList& Seen() const { return seen_; }

private:
    void Poll()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll_.stop();
        for (const QAction* action : menu->actions())
            seen_.push_back(action->text());
        if (QAction* action = FindAction(*menu, caption_)) {
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    }

    QString caption_;
    QTimer poll_;
    QStringList seen_;
};

}  // namespace

class NavigatorMenu : public NavigatorFixture
{
protected:
    void SetUp() override
    {
        NavigatorFixture::SetUp();
        WriteFile(Work() + "/teil.0001", 10);
        Navigator().SetShowErrorMessages(false);
        Navigator().SetObjectNameBytes(Work() + "/teil.0001");
        ClearClipboard();
    }

    QString Choose(const QString& caption, QMenu* callerMenu = nullptr)
    {
        chooser_ = std::make_unique<TMenuChooser>(caption);
        return Navigator().ShowContextMenu(QPoint(10, 10), callerMenu);
    }
    const QStringList& Seen() const { return chooser_->Seen(); }

private:
    std::unique_ptr<TMenuChooser> chooser_;
};

TEST_F(NavigatorMenu, ChosenVerbRunsAndIsReturned)
{
    EXPECT_EQ(Choose("Kopieren"), "copy");
    const std::optional<TFileList> files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_EQ(files->Paths, std::vector<std::string>{Work() + "/teil.0001"});
    EXPECT_FALSE(files->Cut);
    // Closing the menu runs nothing.
    EXPECT_EQ(Choose("gibt es nicht"), "");
}

TEST_F(NavigatorMenu, RestrictedVerbsAreRefused)
{
    Navigator().SetRestricted(true);
    EXPECT_EQ(Choose("Ausschneiden"), "");
    EXPECT_FALSE(ClipboardHasFiles());
    EXPECT_EQ(Choose("Löschen"), "");
    EXPECT_TRUE(Exists(Work() + "/teil.0001"));
    EXPECT_EQ(Choose("Kopieren"), "copy");
}

TEST_F(NavigatorMenu, SelectHandlerDecides)
{
    QStringList asked;
    Navigator().SetRestricted(true);
    Navigator().OnContextMenuSelect = [&](const QString& command, bool& execute) {
        asked.push_back(command);
        execute = command == "cut";
    };
    EXPECT_EQ(Choose("Ausschneiden"), "cut");
    EXPECT_TRUE(FilesOnClipboard() && FilesOnClipboard()->Cut);
    EXPECT_EQ(Choose("Kopieren"), "");
    EXPECT_EQ(asked, QStringList({"cut", "copy"}));

    EXPECT_FALSE(Navigator().InvokeCommand("copy"));
    EXPECT_EQ(asked.size(), 3);
}

TEST_F(NavigatorMenu, CancelledDeleteReportsNothing)
{
    int questions = 0;
    const TScopedMessageHandler cancel([&](const TMessageRequest& request) {
        ++questions;
        return TMessageAnswer{request.EscapeButton, false};
    });
    EXPECT_EQ(Choose("Löschen"), "");
    EXPECT_TRUE(Exists(Work() + "/teil.0001"));
    Navigator().SetObjectNameBytes("teil.0001");
    EXPECT_FALSE(Navigator().InvokeCommand("delete"));
    EXPECT_TRUE(Exists(Work() + "/teil.0001"));
}

TEST_F(NavigatorMenu, CallerItemsRunTheirOwnHandlers)
{
    QMenu own;
    int clicked = 0;
    int shown = 0;
    QObject::connect(&own, &QMenu::aboutToShow, [&] { ++shown; });
    QObject::connect(own.addAction("Teilen"), &QAction::triggered, [&] { ++clicked; });
    EXPECT_EQ(Choose("Teilen", &own), "");
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(shown, 1);
    ASSERT_GE(Seen().size(), 3);
    EXPECT_EQ(Seen().front(), "Teilen");
    // Still the caller's: nothing was taken away from its menu.
    EXPECT_EQ(own.actions().size(), 1);

    Navigator().SetShowContextMenuOnTop(true);
    EXPECT_EQ(Choose("Kopieren", &own), "copy");
    EXPECT_EQ(Seen().back(), "Teilen");
}

TEST_F(NavigatorMenu, RenameGoesToTheOwnerWhenItWantsIt)
{
    EXPECT_EQ(Choose("Umbenennen"), "");
    EXPECT_FALSE(Seen().contains("Umbenennen"));
    int renames = 0;
    Navigator().OnRename = [&](TShellNavigator&) { ++renames; };
    EXPECT_EQ(Choose("Umbenennen"), "rename");
    EXPECT_EQ(renames, 1);
    EXPECT_TRUE(Navigator().InvokeCommand("Rename"));
    EXPECT_EQ(renames, 2);
}

TEST_F(NavigatorMenu, InvokeCommandNeedsObjectsAndDeletableOnes)
{
    EXPECT_TRUE(Navigator().InvokeCommand("copy"));
    EXPECT_TRUE(ClipboardHasFiles());
    Navigator().MultiObjects().Add(std::string("teil.0001"));
    EXPECT_TRUE(Navigator().InvokeCommand("cut"));
    EXPECT_TRUE(Navigator().MultiObjects().IsEmpty());
    EXPECT_FALSE(Navigator().InvokeCommand("kein verb"));

    Navigator().SetObjectIDList(nullptr);
    EXPECT_FALSE(Navigator().InvokeCommand("copy"));

    Navigator().SetObjectNameBytes("teil.0001");
    const TImmutableGuard locked(Work());
    if (locked.Active()) {
        SetLastError(0);
        EXPECT_FALSE(Navigator().InvokeCommand("delete"));
        EXPECT_TRUE(Exists(Work() + "/teil.0001"));
    }
}
