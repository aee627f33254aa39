#include "tests/shell/ShellListFixture.h"

#include "platform/core/system/LastError.h"
#include "platform/exchange/FileClipboard.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
#include "shell/panes/TPzPaneNotice.h"
#include "tests/support/TFolderListings.h"
#include "tests/support/TListingFuse.h"
#include "tests/support/ShownText.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace {

using Names = std::vector<QString>;

QString Q(const char* text)
{
    return QString::fromUtf8(text);
}

class ShellList : public ShellListFixture
{
protected:
    void MakeSample()
    {
        MakeDirectory(Work() + "/sub");
        WriteFile(Work() + "/b.txt", 1500);
        WriteFile(Work() + "/a.txt", 10);
        WriteFile(Work() + "/.hidden");
        List().FullRefresh();
    }
    // The caption editor now open (closed ones wait for their deletion).
    QLineEdit* OpenEditor()
    {
        for (QLineEdit* editor : List().findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    void ClickHeader(int column)
    {
        QHeaderView* header = List().header();
        const QPoint point(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
    }
};

TEST_F(ShellList, FillingFollowsTheListingRule)
{
    EXPECT_EQ(List().Count(), 0);  // an empty folder
    std::vector<std::string> events;
    List().OnBeforeFullRefresh = [&](TPzShellList&) { events.push_back("before"); };
    List().OnCreateColumns = [&](TPzShellList&) { events.push_back("columns"); };
    List().OnAddItem = [&](TPzShellList&, TListItem& item, bool& canAdd) {
        events.push_back("add");
        canAdd = item.Caption != Q("veto");
        EXPECT_EQ(item.SubItems.size(), 3);  // details are there when the handler looks
    };
    List().OnPopulated = [&](TPzShellList&) { events.push_back("populated"); };
    List().OnPathChanged = [&](TPzShellList&) { events.push_back("path"); };
    WriteFile(Work() + "/veto");
    MakeSample();
    EXPECT_EQ(events, (std::vector<std::string>{"before", "columns", "add", "add", "add", "add", "populated", "path"}));
    EXPECT_EQ(Captions(), (Names{Q("sub"), Q("a.txt"), Q("b.txt")}));

    List().SetShowHidden(true);
    ASSERT_NE(ItemNamed(Q(".hidden")), nullptr);
    List().CompleteItem(*ItemNamed(Q(".hidden")));
    EXPECT_TRUE(ItemNamed(Q(".hidden"))->Cut());  // hidden items are drawn dimmed
    EXPECT_FALSE(ItemNamed(Q("a.txt"))->Cut());
    List().SetShowHidden(false);
    List().SetShowFiles(false);
    EXPECT_EQ(Captions(), (Names{Q("sub")}));
    List().SetShowFiles(true);
    List().SetShowFolders(false);
    EXPECT_EQ(Captions(), (Names{Q("a.txt"), Q("b.txt")}));
    List().SetShowFolders(true);

    List().SetShowParentFolder(true);
    EXPECT_EQ(Captions().front(), Q(" .. "));
    Link().SetParentNavigation(false);
    List().FullRefresh();
    EXPECT_EQ(Captions().front(), Q("sub"));
    EXPECT_EQ(List().Version(), Q("TPzShellList V5.4"));

    // Assistive technology sees the pane by name, with its rows and columns.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&List());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), Q("Dateiliste"));
    ASSERT_NE(accessible->tableInterface(), nullptr);
    // The view lays its rows out after a refill, before assistive technology asks.
    EXPECT_TRUE(QTest::qWaitFor([&] { return accessible->tableInterface()->rowCount() == List().Count(); }));
    EXPECT_EQ(accessible->tableInterface()->cellAt(0, 0)->text(QAccessible::Name), Q("sub"));
}

TEST_F(ShellList, ColumnsComeFromTheFolderAndKeepTheUsersWidths)
{
    MakeSample();
    ASSERT_EQ(List().ColumnCount(), 4);
    EXPECT_EQ(List().Columns()[0].Caption, Q("Name"));
    EXPECT_EQ(List().Columns()[1].Caption, Q("Größe"));
    EXPECT_EQ(List().Columns()[1].Alignment, Qt::AlignRight);
    TListItem* b = ItemNamed(Q("b.txt"));
    List().CompleteItem(*b);
    EXPECT_EQ(b->SubItems.value(0), Q("2 KB"));
    EXPECT_GE(b->ImageIndex, 0);
    const int shellWidth = List().ColumnWidth(1);

    List().header()->resizeSection(1, shellWidth + 77);
    List().SetPath(QString::fromStdString(Work() + "/sub"));
    EXPECT_EQ(List().ColumnWidth(1), shellWidth + 77);  // kept between disk folders
    List().SetSpecialFolder(SF_DRIVES);
    EXPECT_EQ(List().Columns()[1].Caption, Q("Typ"));
    EXPECT_NE(List().ColumnWidth(1), shellWidth + 77);  // not into the computer folder

    // The list is rebuilt with a single column without details.
    List().SetPath(QString::fromStdString(Work()));
    List().SetDetails(false);
    EXPECT_EQ(List().ColumnCount(), 1);
    EXPECT_TRUE(ItemNamed(Q("a.txt"))->SubItems.isEmpty());
}

TEST_F(ShellList, HeaderClicksSortAscendingDescendingAscendingWithTheParentFirst)
{
    MakeSample();
    WriteFile(Work() + "/c.txt", 5000);
    List().SetShowParentFolder(true);
    ClickHeader(1);
    EXPECT_EQ(Captions(), (Names{Q(" .. "), Q("sub"), Q("a.txt"), Q("b.txt"), Q("c.txt")}));
    EXPECT_EQ(List().SortArrow(1), saUp);
    EXPECT_EQ(List().SortArrow(0), saNone);
    ClickHeader(1);
    EXPECT_EQ(Captions(), (Names{Q(" .. "), Q("c.txt"), Q("b.txt"), Q("a.txt"), Q("sub")}));
    EXPECT_EQ(List().SortArrow(1), saDown);
    ClickHeader(1);
    EXPECT_EQ(List().SortArrow(1), saUp);
    ClickHeader(0);
    EXPECT_EQ(List().SortArrow(0), saUp);
    EXPECT_FALSE(List().SortDescending());
    EXPECT_EQ(Captions(), (Names{Q(" .. "), Q("sub"), Q("a.txt"), Q("b.txt"), Q("c.txt")}));
    ClickHeader(0);
    EXPECT_EQ(Captions(), (Names{Q(" .. "), Q("c.txt"), Q("b.txt"), Q("a.txt"), Q("sub")}));
    ClickHeader(0);

    // Text sort (with a compare handler) by the type column, then fewer columns.
    List().OnCompare = [](TPzShellList&, const TListItem&, const TListItem&, int, int&) {};
    ClickHeader(2);
    EXPECT_EQ(Captions().front(), Q(" .. "));
    EXPECT_EQ(Captions()[1], Q("sub"));  // "Dateiordner" before "Einfaches Textdokument"
    List().OnCompare = nullptr;
    List().SetDetails(false);
    EXPECT_EQ(List().SortColumn(), 0);
    EXPECT_EQ(Captions(), (Names{Q(" .. "), Q("sub"), Q("a.txt"), Q("b.txt"), Q("c.txt")}));
}

TEST_F(ShellList, RefillKeepsTheSelectionByName)
{
    MakeSample();
    List().SetItemSelected(ItemNamed(Q("b.txt")), true);
    List().SetItemSelected(ItemNamed(Q("sub")), true);
    EXPECT_EQ(List().SelectedNames(), (QStringList{Q("sub"), Q("b.txt")}));
    std::filesystem::rename(Work() + "/b.txt", Work() + "/renamed.txt");
    List().RefreshList();
    EXPECT_EQ(List().SelCount(), 1);
    EXPECT_EQ(List().Selected()->Caption, Q("sub"));

    List().SetSelected(nullptr);
    List().FullRefresh();
    EXPECT_EQ(List().SelCount(), 0);
    EXPECT_EQ(List().TopItem(), List().Item(0));
}

// A listing that fails midway (a FUSE file system answering EIO to the second
// directory read of every listing) is no list of the folder: a refill keeps the
// entries, an update keeps the ones it did not see, and the list says why until
// a listing reaches its end.
TEST_F(ShellList, AFailedListingKeepsTheEntriesAndSaysWhy)
{
    const QString failure = Q("Der Ordner konnte nicht vollständig gelesen werden: ") +
                            QString::fromLocal8Bit(GetSystemErrorText(EIO)) + Q(".");
    // More names than one directory read holds.
    TListingFuse fuse(Work(), 2000);
    if (!fuse.IsMounted())
        GTEST_SKIP() << fuse.SkipReason();
    List().SetAutomaticRefresh(false);
    List().SetPath(QString::fromStdString(fuse.Root()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 2000; }));
    fuse.SetListedFiles(1999);
    fuse.SetFailing(true);
    QTest::keyClick(&List(), Qt::Key_F5);
    EXPECT_EQ(List().Count(), 2000);
    EXPECT_EQ(List().Notice().Shown(), failure);
    fuse.SetFailing(false);
    List().FullRefresh();
    EXPECT_EQ(List().Count(), 1999);
    EXPECT_EQ(List().Notice().Shown(), QString());

    // An update of a small folder whose read fails after the last name.
    fuse.SetListedFiles(9);
    List().FullRefresh();
    ASSERT_EQ(List().Count(), 9);
    fuse.SetListedFiles(8);
    fuse.SetFailing(true);
    List().RefreshContents();
    EXPECT_EQ(List().Count(), 9);
    EXPECT_EQ(List().Notice().Shown(), failure);
    fuse.SetFailing(false);
    List().RefreshContents();
    EXPECT_EQ(List().Count(), 8);
    EXPECT_EQ(List().Notice().Shown(), QString());
    List().SetPath(QString::fromStdString(Work()));
}

// A selection in one list selects the same entry in the linked list, which
// shows that folder already and lists it no more (arrow keys included).
TEST_F(ShellList, ASelectionReachesTheLinkedListWithoutAListing)
{
    for (int i = 0; i < 20; ++i)
        WriteFile(Work() + "/datei" + std::to_string(i));
    MakeSample();
    TPzShellList other;
    other.SetShellLink(&Link());
    other.Loaded();
    List().NotifyLinkFolder();
    ASSERT_EQ(other.Count(), List().Count());
    int refills = 0;
    other.OnPopulated = [&](TPzShellList&) { ++refills; };
    List().OnPopulated = other.OnPopulated;
    TFolderListings listings(Work());

    SelectOnly(Q("a.txt"));
    ASSERT_EQ(other.SelCount(), 1);
    EXPECT_EQ(other.Selected()->Caption, Q("a.txt"));
    for (int key = 0; key < 5; ++key) {
        QTest::keyClick(&List(), Qt::Key_Down);
        ASSERT_EQ(other.SelCount(), 1);
        EXPECT_EQ(other.Selected()->Caption, List().Selected()->Caption);
    }
    EXPECT_NE(List().Selected()->Caption, Q("a.txt"));
    EXPECT_EQ(listings.Count(), 0);
    EXPECT_EQ(refills, 0);
}

// A linked list on a tab not shown takes the folder (and the entry selected
// meanwhile) when it is shown, and lists it only then.
TEST_F(ShellList, AHiddenListTakesTheFolderWhenShown)
{
    MakeSample();
    MakeDirectory(Work() + "/sub/tiefer");
    WriteFile(Work() + "/sub/c.txt");
    QWidget window;
    auto* other = new TPzShellList(&window);
    other->SetShellLink(&Link());
    other->Loaded();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    other->hide();
    TFolderListings listings(Work() + "/sub");

    List().SetPath(QString::fromStdString(Work() + "/sub"));
    EXPECT_EQ(listings.Count(), 1);
    EXPECT_EQ(other->Path(), List().Path());
    EXPECT_EQ(other->Count(), 0);
    SelectOnly(Q("c.txt"));
    EXPECT_EQ(listings.Count(), 0);
    other->show();
    EXPECT_EQ(listings.Count(), 1);
    EXPECT_EQ(other->Count(), 2);
    ASSERT_NE(other->Selected(), nullptr);
    EXPECT_EQ(other->Selected()->Caption, Q("c.txt"));
}

// A link to a folder is listed as a folder; deleted outside, it leaves.
TEST_F(ShellList, ADeletedLinkToAFolderLeavesTheList)
{
    MakeSample();
    std::filesystem::create_directory_symlink(Work() + "/sub", Work() + "/verweis");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("verweis")) != nullptr; }));
    std::filesystem::remove(Work() + "/verweis");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("verweis")) == nullptr; }));
    EXPECT_NE(ItemNamed(Q("sub")), nullptr);
}

// Deletes from outside leave in one update whatever their number (every fourth
// of 20000 entries), with no listing, and the selection stays where it was.
TEST_F(ShellList, ManyDeletesFromOutsideAreOneUpdate)
{
    const auto name = [](int i) { return QString::asprintf("f%05d", i); };
    // Made before the list watches them, so no notification of theirs is pending.
    const std::string folder = Work() + "/viele";
    MakeDirectory(folder);
    for (int i = 0; i < 20000; ++i)
        WriteFile(folder + "/" + name(i).toStdString());
    List().SetPath(QString::fromStdString(folder));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 20000; }, 20000));  // a busy machine lists later
    SelectOnly(name(2));
    int refills = 0;
    List().OnPopulated = [&](TPzShellList&) { ++refills; };
    QSignalSpy removals(&List().Model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy resets(&List().Model(), &QAbstractItemModel::modelReset);
    TFolderListings listings(folder);
    for (int i = 0; i < 20000; i += 4)
        std::filesystem::remove(folder + "/" + name(i).toStdString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 15000; }, 20000));
    EXPECT_EQ(removals.size() + resets.size(), 1);
    EXPECT_EQ(listings.Count(), 0);
    EXPECT_EQ(refills, 0);
    ASSERT_EQ(List().SelCount(), 1);
    EXPECT_EQ(List().Selected()->Caption, name(2));
    EXPECT_EQ(List().ItemFocused(), List().Selected());
}

// A refill selects the names that are still there again, without a listing
// for each one that went.
TEST_F(ShellList, ReselectingAfterARefillListsNothingMore)
{
    MakeSample();
    List().SetAutomaticRefresh(false);
    for (const char* name : {"sub", "a.txt", "b.txt"})
        List().SetItemSelected(ItemNamed(Q(name)), true);
    std::filesystem::remove(Work() + "/sub");
    std::filesystem::remove(Work() + "/b.txt");
    TFolderListings listings(Work());
    List().FullRefresh();
    EXPECT_EQ(listings.Count(), 1);
    EXPECT_EQ(List().SelectedNames(), QStringList{Q("a.txt")});
}

// The info tip names the type from the file's extension, which may read as markup.
TEST_F(ShellList, TheInfoTipShowsItsLinesAsWritten)
{
    WriteFile(Work() + "/bild.<b>fett", 2000);
    List().FullRefresh();
    TListItem* item = ItemNamed(Q("bild.<b>fett"));
    ASSERT_NE(item, nullptr);
    const QPoint point = List().DisplayRect(item, drLabel).center();
    QHelpEvent help(QEvent::ToolTip, point, List().viewport()->mapToGlobal(point));
    QApplication::sendEvent(List().viewport(), &help);
    const QLabel* label = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible())
            label = qobject_cast<QLabel*>(widget);
    ASSERT_NE(label, nullptr);
    List().Browser().SetObjectName(Q("bild.<b>fett"));
    const QString tip = List().Browser().GetInfoTip(true);
    EXPECT_TRUE(tip.startsWith(Q("Typ: <B>FETT-Datei\nGröße: "))) << tip.toStdString();
    EXPECT_EQ(ShownText(*label), tip);
    QToolTip::hideText();
}

TEST_F(ShellList, FileSystemChangesUpdateTheEntries)
{
    MakeSample();
    TPzShellList other;
    other.SetShellLink(&Link());
    other.Loaded();
    List().NotifyLinkFolder();
    ASSERT_EQ(other.Path(), List().Path());
    int refills = 0;
    List().OnPopulated = [&](TPzShellList&) { ++refills; };
    QSignalSpy inserts(&List().Model(), &QAbstractItemModel::rowsInserted);

    // A delete removes the entry as soon as it is reported.
    std::filesystem::remove(Work() + "/a.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("a.txt")) == nullptr; }));
    // A new file comes after the pause, at the end, without a refill.
    WriteFile(Work() + "/0.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("0.txt")) != nullptr; }));
    EXPECT_EQ(Captions().back(), Q("0.txt"));
    EXPECT_EQ(refills, 0);
    // A growing file shows its new size.
    List().CompleteItem(*ItemNamed(Q("b.txt")));
    WriteFile(Work() + "/b.txt", 300000);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        TListItem* b = ItemNamed(Q("b.txt"));
        QApplication::processEvents();
        if (b->ImageIndex < 0)
            List().CompleteItem(*b);
        return b->SubItems.value(0) == Q("293 KB");
    }));

    // Switched off and on again: what came meanwhile shows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().UpdatePending(); }));
    List().SetAutomaticRefresh(false);
    WriteFile(Work() + "/unbemerkt");
    // The other list has it once the change was read and handed out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.Count() == List().Count() + 1; }));
    List().SetAutomaticRefresh(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("unbemerkt")) != nullptr; }));
    std::filesystem::remove(Work() + "/unbemerkt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("unbemerkt")) == nullptr; }));

    // Many new files: one update that adds them all at once.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().UpdatePending(); }));
    inserts.clear();
    for (int i = 0; i < 400; ++i)
        WriteFile(Work() + "/many" + std::to_string(i));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 403; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().UpdatePending(); }));
    EXPECT_EQ(inserts.size(), 1);
    EXPECT_EQ(refills, 0);
    // Past 300 entries an update is a sorted refill.
    WriteFile(Work() + "/0000");
    ASSERT_TRUE(QTest::qWaitFor([&] { return refills == 1; }));
    EXPECT_EQ(Captions()[1], Q("0000"));

    // The shown folder goes away: both lists move to the computer.
    std::filesystem::remove_all(Work());
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().SpecialFolder() == SF_DRIVES; }));
    EXPECT_EQ(other.SpecialFolder(), SF_DRIVES);
}

TEST_F(ShellList, KeysRunTheListsCommands)
{
    MakeSample();
    QString characters;
    List().OnKeyPress = [&](TListView&, QChar& key) { characters += key; };
    SelectOnly(Q("sub"));
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(List().Path(), QString::fromStdString(Work() + "/sub/"));
    EXPECT_EQ(characters, Q("\r"));  // Enter still reaches the key handler

    List().SetShowParentFolder(true);
    Link().SetParentNavigation(false);
    QTest::keyClick(&List(), Qt::Key_Backspace);
    EXPECT_EQ(List().Path(), QString::fromStdString(Work() + "/sub/"));  // consumed, no way up
    Link().SetParentNavigation(true);
    QTest::keyClick(&List(), Qt::Key_Backspace);
    EXPECT_EQ(List().Path(), QString::fromStdString(Work() + "/"));
    EXPECT_EQ(characters, Q("\r\b\b"));

    QTest::keyClick(&List(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List().SelCount(), 3);  // all but the parent entry
    EXPECT_FALSE(List().IsSelected(List().Item(0)));

    // Delete moves to the trash and removes the entry at once.
    SelectOnly(Q("a.txt"));
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_FALSE(std::filesystem::exists(Work() + "/a.txt"));
    EXPECT_EQ(ItemNamed(Q("a.txt")), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].operation, 0x0C0u);
    EXPECT_EQ(reports[0].files, (std::vector<std::string>{Work() + "/a.txt"}));

    // F5 rebuilds; a new file appears at once.
    List().SetAutomaticRefresh(false);
    WriteFile(Work() + "/f5.txt");
    QTest::keyClick(&List(), Qt::Key_F5);
    EXPECT_NE(ItemNamed(Q("f5.txt")), nullptr);
}

TEST_F(ShellList, RenameThroughTheEditor)
{
    MakeSample();
    SelectOnly(Q("b.txt"));
    QTest::keyClick(&List(), Qt::Key_F2);
    ASSERT_TRUE(List().IsEditing());
    QLineEdit* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(Q("neu.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().IsEditing(); }));
    EXPECT_TRUE(std::filesystem::exists(Work() + "/neu.txt"));
    EXPECT_EQ(List().Selected()->Caption, Q("neu.txt"));
    EXPECT_EQ(List().GetItemPath(List().Selected()), QString::fromStdString(Work() + "/neu.txt"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].operation, 0x200u);
    EXPECT_EQ(reports[0].files, (std::vector<std::string>{Work() + "/b.txt"}));
    EXPECT_EQ(reports[0].destination, QString::fromStdString(Work() + "/neu.txt"));

    // A name the file system refuses keeps the entry and the file, and says why.
    ASSERT_TRUE(List().EditCaption(ItemNamed(Q("a.txt"))));
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(Q("x/y"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().IsEditing(); }));
    EXPECT_TRUE(std::filesystem::exists(Work() + "/a.txt"));
    EXPECT_NE(ItemNamed(Q("a.txt")), nullptr);
    ASSERT_FALSE(questions.empty());
    EXPECT_EQ(questions.back().Icon, TMessageIcon::Error);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(ShellList, ClipboardCommandsReportTheirOperations)
{
    MakeSample();
    SelectOnly(Q("a.txt"));
    QTest::keyClick(&List(), Qt::Key_C, Qt::ControlModifier);
    SelectOnly(Q("sub"));
    QTest::keyClick(&List(), Qt::Key_Return);
    QTest::keyClick(&List(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(Work() + "/sub/a.txt"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].operation, 0x121u);
    EXPECT_EQ(reports[0].destination, QString::fromStdString(Work() + "/sub/"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(Q("a.txt")) != nullptr; }));

    // Cut dims the entry; after the paste elsewhere it is reported as moved away.
    SelectOnly(Q("a.txt"));
    QTest::keyClick(&List(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(ItemNamed(Q("a.txt"))->Cut());
    QTest::keyClick(&List(), Qt::Key_Backspace);
    SelectOnly(Q("b.txt"));
    MakeDirectory(Work() + "/target");
    List().FullRefresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !List().UpdatePending(); }));
    SelectOnly(Q("target"));
    QTest::keyClick(&List(), Qt::Key_Return);
    QTest::keyClick(&List(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(Work() + "/target/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(Work() + "/sub/a.txt"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].operation, 0x122u);
}

TEST_F(ShellList, DropsCopyOrMoveByTheKeysHeld)
{
    MakeSample();
    MakeDirectory(Home() + "/outside");
    WriteFile(Home() + "/outside/one");
    WriteFile(Home() + "/outside/two");
    auto drop = [&](const std::string& path, const QString& onto, Qt::KeyboardModifiers keys) {
        QMimeData data;
        WriteFileList(data, {path}, false);
        const QPoint point = onto.isEmpty() ? QPoint(10, List().viewport()->height() - 5)
                                            : List().DisplayRect(ItemNamed(onto), drLabel).center();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(List().viewport(), &enter);
        QDragMoveEvent move(point, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(List().viewport(), &move);
        if (!onto.isEmpty()) {
            EXPECT_TRUE(ItemNamed(onto)->DropHighlighted());
        }
        QDropEvent dropEvent(point, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(List().viewport(), &dropEvent);
    };
    drop(Home() + "/outside/one", Q("sub"), Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(Work() + "/sub/one"));
    EXPECT_TRUE(std::filesystem::exists(Home() + "/outside/one"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].operation, 0x009u);
    EXPECT_EQ(reports[0].destination, QString::fromStdString(Work() + "/sub"));
    EXPECT_FALSE(ItemNamed(Q("sub"))->DropHighlighted());

    drop(Home() + "/outside/two", QString(), Qt::ShiftModifier);
    EXPECT_TRUE(std::filesystem::exists(Work() + "/two"));
    EXPECT_FALSE(std::filesystem::exists(Home() + "/outside/two"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].operation, 0x00Au);
}

}  // namespace
