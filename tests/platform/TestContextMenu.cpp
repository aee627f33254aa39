#include "CommandTestSupport.h"
#include "NamespaceFixture.h"

#include "platform/core/text/FileUri.h"
#include "platform/exchange/FileClipboard.h"
#include "platform/commands/IContextMenu.h"
#include "platform/core/system/LastError.h"
#include "platform/commands/PropertiesHook.h"
#include "platform/dialogs/PropertiesDialog.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/trash/TTrash.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMimeData>

#include <sys/stat.h>

#include <algorithm>

namespace {

constexpr unsigned kFirstId = 1;
constexpr unsigned kLastId = 0x7FFF;

// One row of a filled menu: "verb caption", "-" for a separator, ">caption" for
// a submenu followed by its rows indented; "*" marks the default.
void Describe(const QMenu& menu, IContextMenu& contextMenu, std::vector<std::string>& rows, const std::string& indent)
{
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            rows.push_back(indent + "-");
        } else if (action->menu()) {
            rows.push_back(indent + ">" + action->text().toStdString());
            Describe(*action->menu(), contextMenu, rows, indent + "  ");
        } else {
            std::string verb;
            EXPECT_TRUE(
                contextMenu.GetCommandString(MenuCommandId(action) - kFirstId, TCommandString::Verb, verb).Succeeded());
            rows.push_back(indent + verb + " " + action->text().toStdString() +
                           (action == menu.defaultAction() ? " *" : ""));
        }
    }
}

class ContextMenuTest : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        launcher_ = std::make_shared<TRecordingLauncher>();
        launcher_->AppsByType["text/plain"] = {{"editor.desktop", "Texteditor", ""},
                                               {"viewer.desktop", "Betrachter", ""}};
        launcher_->AppsByType["image/png"] = {{"viewer.desktop", "Betrachter", ""}};
        launcher_->AppsByType["inode/directory"] = {{"files.desktop", "Dateien", ""}};
        scopedLauncher_.emplace(launcher_);
        QGuiApplication::clipboard()->clear();
        WriteFile(Work() + "/notiz.txt", 5);
        WriteFile(Work() + "/bild.png", 5);
        MakeDirectory(Work() + "/ordner");
    }

    void TearDown() override
    {
        QGuiApplication::clipboard()->clear();
        scopedLauncher_.reset();
        NamespaceFixture::TearDown();
    }

    // The menu of items (paths in one folder), or with `background` of the folder itself.
    static IContextMenuPtr MenuOf(const std::vector<std::string>& paths, bool background = false)
    {
        std::vector<TItemIdListPtr> absolutes;
        for (const std::string& path : paths)
            absolutes.push_back(Parse(path));
        const TItemIdList* first = absolutes.front().get();
        const TItemIdListPtr parent = background ? CloneIDList(first) : TruncateIDList(first, IDListCount(first) - 1);
        std::vector<const TItemIdList*> items;
        if (!background) {
            for (const TItemIdListPtr& absolute : absolutes)
                items.push_back(LastIDListItem(absolute.get()));
        }
        IUIObjectPtr object;
        EXPECT_TRUE(SHBindToFolder(parent.get())
                        ->GetUIObjectOf(nullptr, items, TUIObjectKind::ContextMenu, object)
                        .Succeeded());
        return std::dynamic_pointer_cast<IContextMenu>(object);
    }

    static std::vector<std::string> Rows(IContextMenu& contextMenu, std::uint32_t flags = CMF_EXPLORE)
    {
        QMenu menu;
        unsigned count = 0;
        EXPECT_TRUE(contextMenu.QueryContextMenu(menu, -1, kFirstId, kLastId, flags, count).Succeeded());
        std::vector<std::string> rows;
        Describe(menu, contextMenu, rows, "");
        return rows;
    }

    static TShellResult Invoke(IContextMenu& contextMenu, const std::string& verb)
    {
        return contextMenu.InvokeCommand(TInvokeCommandInfo{verb, -1, nullptr});
    }

    std::shared_ptr<TRecordingLauncher> launcher_;
    std::optional<TScopedLauncher> scopedLauncher_;
};

TEST_F(ContextMenuTest, FileMenuOffersItsVerbsInOrder)
{
    const IContextMenuPtr menu = MenuOf({Work() + "/notiz.txt"});
    EXPECT_EQ(Rows(*menu), (std::vector<std::string>{
                               "open Öffnen *", ">Öffnen mit", "  openwith:editor.desktop Texteditor",
                               "  openwith:viewer.desktop Betrachter", "-", "cut Ausschneiden", "copy Kopieren", "-",
                               "link Verknüpfung erstellen", "delete Löschen", "-", "properties Eigenschaften"}));
    // Renaming only when the caller can edit the name.
    const std::vector<std::string> withRename = Rows(*menu, CMF_EXPLORE | CMF_CANRENAME);
    EXPECT_NE(std::find(withRename.begin(), withRename.end(), "rename Umbenennen"), withRename.end());
    EXPECT_EQ(Rows(*menu, CMF_DEFAULTONLY), std::vector<std::string>{"open Öffnen *"});

    std::string help;
    ASSERT_TRUE(menu->GetCommandString(0, TCommandString::HelpText, help).Succeeded());
    EXPECT_FALSE(help.empty());
    EXPECT_TRUE(menu->GetCommandString(999, TCommandString::Verb, help).Failed());
}

TEST_F(ContextMenuTest, IdsStayInTheCallersRangeAndPlace)
{
    const IContextMenuPtr contextMenu = MenuOf({Work() + "/notiz.txt"});
    QMenu menu;
    QAction* own = menu.addAction("Eigener Eintrag");
    unsigned count = 0;
    ASSERT_TRUE(contextMenu->QueryContextMenu(menu, 0, 100, 102, CMF_EXPLORE, count).Succeeded());
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(menu.actions().back(), own);
    EXPECT_EQ(MenuCommandId(menu.actions().front()), 100u);
    EXPECT_EQ(MenuCommandId(own), 0u);
    // An id runs its command by offset.
    ASSERT_TRUE(contextMenu->InvokeCommand(TInvokeCommandInfo{"", 0, nullptr}).Succeeded());
    ASSERT_EQ(launcher_->Launches.size(), 1u);
    EXPECT_EQ(launcher_->Launches[0].AppId, "editor.desktop");
}

TEST_F(ContextMenuTest, MenusOfFoldersTrashAndBackground)
{
    const IContextMenuPtr folderMenu = MenuOf({Work() + "/ordner"});
    std::vector<std::string> rows = Rows(*folderMenu);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), ">Öffnen mit"), 0);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "paste Einfügen"), 0);  // nothing on the clipboard
    EXPECT_EQ(Rows(*MenuOf({Work()}, true)), std::vector<std::string>{"properties Eigenschaften *"});

    // Files on the clipboard: a folder and the background take them.
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "copy").Succeeded());
    rows = Rows(*MenuOf({Work() + "/ordner"}));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "paste Einfügen"), 1);
    EXPECT_EQ(Rows(*MenuOf({Work()}, true)),
              (std::vector<std::string>{"paste Einfügen *", "-", "properties Eigenschaften"}));
    // A file and a group of items are no paste targets.
    rows = Rows(*MenuOf({Work() + "/notiz.txt"}));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "paste Einfügen"), 0);
    rows = Rows(*MenuOf({Work() + "/ordner", Work() + "/notiz.txt"}));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "paste Einfügen"), 0);

    // Files of different types are offered only the applications they share.
    rows = Rows(*MenuOf({Work() + "/notiz.txt", Work() + "/bild.png"}));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "  openwith:viewer.desktop Betrachter"), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "  openwith:editor.desktop Texteditor"), 0);
}

TEST_F(ContextMenuTest, TrashEntriesGetTheTrashVerbs)
{
    const std::string files = TTrash::HomeTrashPath() + "/files";
    const std::string info = TTrash::HomeTrashPath() + "/info";
    MakeDirectory(TTrash::HomeTrashPath());
    MakeDirectory(files);
    MakeDirectory(info);
    WriteFile(files + "/alt.txt", 3);
    QFile infoFile(QFile::decodeName((info + "/alt.txt.trashinfo").c_str()));
    ASSERT_TRUE(infoFile.open(QIODevice::WriteOnly));
    infoFile.write(("[Trash Info]\nPath=" + Work() + "/alt.txt\nDeletionDate=2024-01-02T03:04:05\n").c_str());
    infoFile.close();

    const TItemIdListPtr trash = SHGetSpecialFolderLocation(SF_BITBUCKET);
    const IShellFolderPtr folder = SHBindToFolder(trash.get());
    TItemIdListPtr entry;
    ASSERT_TRUE(folder->ParseDisplayName("alt.txt", entry).Succeeded());
    const TItemIdList* items[] = {entry.get()};
    IUIObjectPtr object;
    ASSERT_TRUE(folder->GetUIObjectOf(nullptr, items, TUIObjectKind::ContextMenu, object).Succeeded());
    const IContextMenuPtr menu = std::dynamic_pointer_cast<IContextMenu>(object);
    EXPECT_EQ(Rows(*menu), (std::vector<std::string>{"undelete Wiederherstellen *", "-", "delete Endgültig löschen",
                                                     "-", "properties Eigenschaften"}));
    EXPECT_TRUE(Invoke(*menu, "open").Failed());
    EXPECT_EQ(GetLastError(), EINVAL);

    ASSERT_TRUE(Invoke(*menu, "undelete").Succeeded());
    EXPECT_TRUE(Exists(Work() + "/alt.txt"));
    EXPECT_FALSE(Exists(files + "/alt.txt"));
}

TEST_F(ContextMenuTest, OpenLaunchesEachFileWithItsDefaultApplication)
{
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt", Work() + "/bild.png"}), "default").Succeeded());
    ASSERT_EQ(launcher_->Launches.size(), 2u);
    EXPECT_EQ(launcher_->Launches[0].AppId, "editor.desktop");
    EXPECT_EQ(launcher_->Launches[0].Paths, std::vector<std::string>{Work() + "/notiz.txt"});
    EXPECT_EQ(launcher_->Launches[1].AppId, "viewer.desktop");

    launcher_->Launches.clear();
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "openwith:viewer.desktop").Succeeded());
    ASSERT_EQ(launcher_->Launches.size(), 1u);
    EXPECT_EQ(launcher_->Launches[0].AppId, "viewer.desktop");
    // An application the type does not have is no verb of the menu.
    EXPECT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "openwith:evil.desktop").Failed());

    // A failing start is reported in German to an owner window, and silently without one.
    launcher_->Fail = true;
    TAnswerByCaption answers("OK");
    EXPECT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "open").Failed());
    EXPECT_TRUE(answers.Requests.empty());
    QWidget owner;
    EXPECT_TRUE(MenuOf({Work() + "/notiz.txt"})->InvokeCommand(TInvokeCommandInfo{"open", -1, &owner}).Failed());
    ASSERT_EQ(answers.Requests.size(), 1u);
    EXPECT_EQ(answers.Requests[0].Caption, "Fehler");

    // A type without an application cannot be opened.
    WriteFile(Work() + "/daten.xyzunbekannt", 1);
    EXPECT_TRUE(Invoke(*MenuOf({Work() + "/daten.xyzunbekannt"}), "open").Failed());
}

TEST_F(ContextMenuTest, CopyAndCutPutTheFilesOnTheClipboard)
{
    const std::string awkward = Work() + "/mit leer\xff";
    WriteFile(awkward, 1);
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt", awkward}), "copy").Succeeded());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    const QByteArray notiz = QByteArray::fromStdString(FileUriFromPath(Work() + "/notiz.txt"));
    const QByteArray other = QByteArray::fromStdString(FileUriFromPath(awkward));
    EXPECT_TRUE(other.endsWith("/mit%20leer%FF"));
    EXPECT_EQ(data->data("x-special/gnome-copied-files"), "copy\n" + notiz + "\n" + other);
    EXPECT_EQ(data->data("text/uri-list"), notiz + "\r\n" + other + "\r\n");
    EXPECT_TRUE(data->hasFormat("application/x-parzello-shell-idlist-array"));

    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "cut").Succeeded());
    const std::optional<TFileList> files = FilesOnClipboard();
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->Cut);
    EXPECT_EQ(files->Paths, std::vector<std::string>{Work() + "/notiz.txt"});
}

TEST_F(ContextMenuTest, PropertiesGoThroughTheHookAndRenameToTheCaller)
{
    std::vector<std::string> shown;
    const TPropertiesHandler previous = SetPropertiesHandler([&](QWidget*, std::span<const TItemIdList* const> items) {
        for (const TItemIdList* item : items)
            shown.push_back(SHGetPathFromIDList(item));
        return true;
    });
    EXPECT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt", Work() + "/bild.png"}), "properties").Succeeded());
    EXPECT_EQ(shown, (std::vector<std::string>{Work() + "/notiz.txt", Work() + "/bild.png"}));
    shown.clear();
    EXPECT_TRUE(Invoke(*MenuOf({Work()}, true), "properties").Succeeded());
    EXPECT_EQ(shown, std::vector<std::string>{Work()});
    SetPropertiesHandler(ShowItemPropertiesDialog);
    EXPECT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "properties").Succeeded());
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto dialog = std::find_if(windows.begin(), windows.end(),
                                     [](QWidget* window) { return qobject_cast<QDialog*>(window) != nullptr; });
    ASSERT_NE(dialog, windows.end());
    delete *dialog;
    SetPropertiesHandler({});
    EXPECT_EQ(Invoke(*MenuOf({Work() + "/notiz.txt"}), "properties").Error(), ENOTSUP);
    SetPropertiesHandler(previous);

    const TShellResult rename = Invoke(*MenuOf({Work() + "/notiz.txt"}), "rename");
    EXPECT_TRUE(rename.Failed());
    EXPECT_EQ(rename.Error(), ENOTSUP);
    EXPECT_EQ(Invoke(*MenuOf({Work() + "/notiz.txt"}), "frobnicate").Error(), EINVAL);
}

TEST_F(ContextMenuTest, CancelledDeletionLeavesTheItem)
{
    TAnswerByCaption answers("Nein");
    const TShellResult result = Invoke(*MenuOf({Work() + "/notiz.txt"}), "delete");
    EXPECT_TRUE(result.Failed());
    EXPECT_EQ(result.Error(), ECANCELED);
    EXPECT_FALSE(answers.Requests.empty());
    EXPECT_TRUE(Exists(Work() + "/notiz.txt"));
}

TEST_F(ContextMenuTest, DeleteLinkPasteAndCutPasteWorkOnRealFiles)
{
    TAnswerByCaption answers("Ja");

    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/bild.png"}), "delete").Succeeded());
    EXPECT_FALSE(Exists(Work() + "/bild.png"));
    EXPECT_TRUE(Exists(TTrash::HomeTrashPath() + "/files/bild.png"));

    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "copy").Succeeded());
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/ordner"}), "paste").Succeeded());
    EXPECT_TRUE(Exists(Work() + "/ordner/notiz.txt"));
    EXPECT_TRUE(Exists(Work() + "/notiz.txt"));
    EXPECT_TRUE(ClipboardHasFiles());  // a copy can be pasted again

    MakeDirectory(Work() + "/zweiter");
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/notiz.txt"}), "cut").Succeeded());
    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/zweiter"}, true), "paste").Succeeded());
    EXPECT_TRUE(Exists(Work() + "/zweiter/notiz.txt"));
    EXPECT_FALSE(Exists(Work() + "/notiz.txt"));
    EXPECT_FALSE(ClipboardHasFiles());  // a pasted cut is gone from the clipboard

    ASSERT_TRUE(Invoke(*MenuOf({Work() + "/ordner"}), "link").Succeeded());
    std::size_t links = 0;
    for (const TItemIdListPtr& item : Enumerate(*Bind(Work()), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS)) {
        const std::string path = SHGetPathFromIDList(ConcatIDLists(Parse(Work()).get(), item.get()).get());
        struct stat status;
        if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
            ++links;
    }
    EXPECT_EQ(links, 1u);
}

}  // namespace
