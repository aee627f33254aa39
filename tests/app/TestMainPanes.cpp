#include "app/TMainForm.h"
#include "app/TProgram.h"
#include "controls/spin/TPzSpinEdit.h"
#include "framework/MessageBox.h"
#include "platform/commands/AppLauncher.h"
#include "shell/link/TPzShellLink.h"
#include "shell/panes/list/TPzShellList.h"
#include "framework/treeview/TTreeNode.h"
#include "shell/panes/tree/TPzShellTree.h"
#include "tests/platform/NamespaceFixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

// Records what the default command would start instead of starting it.
class TRecordingLauncher : public IAppLauncher {
public:
    std::optional<TAppInfo> DefaultAppForType(const std::string&) override
    {
        return TAppInfo{"viewer.desktop", QStringLiteral("Betrachter"), {}};
    }
    std::vector<TAppInfo> AppsForType(const std::string& type) override { return {*DefaultAppForType(type)}; }
    bool Launch(const std::string&, const std::vector<std::string>& paths, std::string&) override
    {
        launched.insert(launched.end(), paths.begin(), paths.end());
        return true;
    }
    std::vector<std::string> launched;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The real program's main window under a temporary home, worked by mouse and
// keys; its message boxes are answered (first button) and recorded.
class MainPanes : public NamespaceFixture {
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        previousLauncher_ = SetAppLauncher(launcher_);
        answers_ = std::make_unique<TScopedMessageHandler>([this](const TMessageRequest& request) {
            messages.push_back(request);
            cursors.push_back(CursorNow());
            return TMessageAnswer{0, false};
        });
        program_ = std::make_unique<TProgram>();
        form_ = &program_->MainForm();
        for (const char* name : {"PzShellList1", "PzShellList2"})
            testers_.push_back(std::make_unique<QAbstractItemModelTester>(
                &Find<TPzShellList>(name)->Model(), QAbstractItemModelTester::FailureReportingMode::Warning));
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    }
    void TearDown() override
    {
        testers_.clear();
        program_.reset();
        answers_.reset();
        SetAppLauncher(previousLauncher_);
        NamespaceFixture::TearDown();
    }

    template <typename T>
    T* Find(const char* name)
    {
        T* widget = form_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    TPzShellList* List(int tab) { return Find<TPzShellList>(tab == 1 ? "PzShellList1" : "PzShellList2"); }

    TListItem* Entry(TPzShellList* list, const QString& caption)
    {
        for (int row = 0; row < list->Count(); ++row)
            if (list->Item(row)->Caption == caption)
                return list->Item(row);
        return nullptr;
    }
    // Waits until the list shows the entry and clicks it into view and selection.
    TListItem* ClickEntry(TPzShellList* list, const QString& caption, bool twice)
    {
        TListItem* entry = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (entry = Entry(list, caption)) != nullptr; })) << caption.toStdString();
        if (!entry)
            return nullptr;
        const QPoint point = list->DisplayRect(entry, drLabel).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
        if (twice)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
        return entry;
    }
    // Replaces the piece size as a user would: typed, or pasted when the edit refuses the keys.
    void EnterPieceSize(const QString& text, bool paste)
    {
        auto* sizeEd = Find<TPzSpinEdit>("SizeEd");
        QTest::mouseClick(sizeEd, Qt::LeftButton);
        QTest::keyClick(sizeEd, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(sizeEd, Qt::Key_Delete);
        if (paste) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(sizeEd, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(sizeEd, text);
        }
        EXPECT_EQ(sizeEd->text(), text);
    }
    void ClickTab(int index)
    {
        QTabBar* bar = Find<QTabWidget>("PageControl1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    QStringList LogLines() { return Find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    std::string Piece(int number) { return Work() + "/film.bin.000" + std::to_string(number); }

    static Qt::CursorShape CursorNow()
    {
        return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    }

    std::vector<TMessageRequest> messages;
    std::vector<Qt::CursorShape> cursors;  // the pointer each box was answered with
    std::shared_ptr<TRecordingLauncher> launcher_ = std::make_shared<TRecordingLauncher>();
    std::unique_ptr<TProgram> program_;
    TMainForm* form_ = nullptr;

private:
    IAppLauncherPtr previousLauncher_;
    std::unique_ptr<TScopedMessageHandler> answers_;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

TEST_F(MainPanes, StartsOnTheComputerSplitsByDoubleClickAndJoinsFromTheJoinTab)
{
    // All four panes on one link, in the order the form makes them, all on the computer folder.
    auto* tree1 = Find<TPzShellTree>("PzShellTree1");
    auto* tree2 = Find<TPzShellTree>("PzShellTree2");
    const std::vector<IPzShellControl*> order{tree1, List(1), tree2, List(2)};
    EXPECT_EQ(form_->PzShellLink1().Controls(), order);
    for (TPzShellTree* tree : {tree1, tree2})
        EXPECT_EQ(tree->SpecialFolder(), SF_DRIVES);
    for (int tab : {1, 2})
        EXPECT_EQ(List(tab)->SpecialFolder(), SF_DRIVES);

    std::string original;
    for (int i = 0; i < 5000; ++i)
        original.push_back(char(i * 7 % 251));
    WriteBytes(Work() + "/film.bin", original);
    // Left from an earlier split into more pieces; a join would take them for part of the new series.
    for (int stale : {4, 5})
        WriteBytes(Piece(stale), "alt");

    // To the work folder by mouse: the home folder in the tree, then "work" in the list.
    TTreeNode* root = tree1->Nodes().FirstRoot();
    ASSERT_NE(root, nullptr);
    TTreeNode* home = nullptr;
    for (int i = 0; i < root->Count(); ++i)
        if (root->Item(i)->Text() == QStringLiteral("Persönlicher Ordner"))
            home = root->Item(i);
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree1->NodeRect(home, true).isValid(); }));
    QTest::mouseClick(tree1->viewport(), Qt::LeftButton, {}, tree1->NodeRect(home, true).center());
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("work"), true), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List(1)->Path() == QString::fromStdString(Work() + "/"); }));
    EXPECT_EQ(tree1->SelectedFolder(), QString::fromStdString(Work())) << "the tree follows the list";
    EnterPieceSize(QStringLiteral("2000"), false);
    std::vector<Qt::CursorShape> logCursors;
    QObject::connect(Find<QPlainTextEdit>("Memo1"), &QPlainTextEdit::textChanged, form_,
                     [&] { logCursors.push_back(CursorNow()); });
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("film.bin"), true), nullptr);
    ASSERT_FALSE(logCursors.empty());
    EXPECT_EQ(logCursors.front(), Qt::WaitCursor) << "the hourglass shows while the split runs";
    EXPECT_EQ(cursors, std::vector<Qt::CursorShape>{Qt::ArrowCursor});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    EXPECT_TRUE(ReadAll(Piece(1)) == original.substr(0, 2000));
    EXPECT_TRUE(ReadAll(Piece(2)) == original.substr(2000, 2000));
    EXPECT_TRUE(ReadAll(Piece(3)) == original.substr(4000));
    EXPECT_FALSE(fs::exists(Piece(4)));
    EXPECT_FALSE(fs::exists(Piece(5)));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Caption, QStringLiteral("Splitten beendet"));
    EXPECT_EQ(messages[0].Text, QStringLiteral("Die Datei wurde in 3 Teile aufgeteilt."));
    const QStringList expectedLog{QString::fromStdString(Piece(1)),
                                  QStringLiteral("Alter Teil gelöscht: ") + QString::fromStdString(Piece(4)),
                                  QStringLiteral("Alter Teil gelöscht: ") + QString::fromStdString(Piece(5))};
    EXPECT_EQ(LogLines(), expectedLog);
    EXPECT_NE(Entry(List(1), QStringLiteral("film.bin.0003")), nullptr) << "the list is refreshed at once";
    EXPECT_TRUE(launcher_->launched.empty()) << "a double-click runs no command of the list";

    // The join tab shows the same folder; a middle piece rebuilds the file.
    fs::remove(Work() + "/film.bin");
    messages.clear();
    ClickTab(1);
    ASSERT_NE(ClickEntry(List(2), QStringLiteral("film.bin.0002"), true), nullptr);
    EXPECT_TRUE(ReadAll(Work() + "/film.bin") == original);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Caption, QStringLiteral("Zusammenfügen beendet"));
}

TEST_F(MainPanes, EnterSplitsAfterTheDefaultCommandButABadPieceSizeWritesNothing)
{
    WriteBytes(Work() + "/daten.txt", std::string(3000, 'x'));
    Find<TPzShellTree>("PzShellTree1")->SetSelectedFolder(QString::fromStdString(Work()));
    for (const QString& bad : {QStringLiteral("12-3"), QStringLiteral("1,4"), QStringLiteral(""),
                               QStringLiteral("99999999999999999999")}) {
        messages.clear();
        EnterPieceSize(bad, !bad.isEmpty());
        ASSERT_NE(ClickEntry(List(1), QStringLiteral("daten.txt"), false), nullptr);
        QTest::keyClick(List(1), Qt::Key_Return);
        ASSERT_EQ(messages.size(), 1u) << bad.toStdString();
        EXPECT_EQ(messages[0].Caption, QStringLiteral("Fehler"));
        EXPECT_EQ(messages[0].Icon, TMessageIcon::Error);
        EXPECT_FALSE(fs::exists(Work() + "/daten.txt.0001")) << bad.toStdString();
    }
    EXPECT_TRUE(LogLines().isEmpty());

    messages.clear();
    launcher_->launched.clear();
    EnterPieceSize(QStringLiteral("1000"), false);
    ClickEntry(List(1), QStringLiteral("daten.txt"), false);
    QTest::keyClick(List(1), Qt::Key_Return);
    EXPECT_EQ(launcher_->launched, std::vector<std::string>{Work() + "/daten.txt"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, QStringLiteral("Die Datei wurde in 4 Teile aufgeteilt."));
    EXPECT_EQ(ReadAll(Work() + "/daten.txt.0003"), std::string(1000, 'x'));
    EXPECT_EQ(ReadAll(Work() + "/daten.txt.0004"), std::string());

    // Esc on a pane ends the program like "Beenden".
    List(1)->setFocus();
    QTest::keyClick(List(1), Qt::Key_Escape);
    EXPECT_FALSE(form_->isVisible());
}

TEST_F(MainPanes, AStartFileOpensItsFolderOnItsTabAndBothTabsFollowEachOther)
{
    MakeDirectory(Work() + "/innen");
    WriteBytes(Work() + "/film.avi.0002", "x");
    WriteBytes(Work() + "/notiz.txt", "y");
    auto* pages = Find<QTabWidget>("PageControl1");

    form_->ShowStartFile(QString::fromStdString(Work() + "/film.avi.0002"));
    EXPECT_EQ(pages->currentIndex(), 1) << "a piece opens on the join tab";
    ASSERT_NE(List(2)->Selected(), nullptr);
    EXPECT_EQ(List(2)->Selected()->Caption, QStringLiteral("film.avi.0002"));

    // A folder opened on the join tab is shown on the split tab too.
    ASSERT_NE(ClickEntry(List(2), QStringLiteral("innen"), true), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return List(1)->Path() == QString::fromStdString(Work() + "/innen/"); }))
        << List(1)->Path().toStdString();
    EXPECT_TRUE(messages.empty());

    form_->ShowStartFile(QString::fromStdString(Work() + "/notiz.txt"));
    EXPECT_EQ(pages->currentIndex(), 0) << "any other file opens on the split tab";
    ASSERT_NE(List(1)->Selected(), nullptr);
    EXPECT_EQ(List(1)->Selected()->Caption, QStringLiteral("notiz.txt"));
    EXPECT_EQ(Find<TPzShellTree>("PzShellTree2")->SelectedFolder(), QString::fromStdString(Work()));

    // Enter on a folder opens it and hands nothing inside it to the split.
    WriteBytes(Work() + "/innen/a.txt", "z");
    ClickEntry(List(1), QStringLiteral("innen"), false);
    QTest::keyClick(List(1), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Entry(List(1), QStringLiteral("a.txt")) != nullptr; }));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(Work() + "/innen/a.txt.0001"));

    // Assistive technology finds every pane by a name of its own.
    QStringList names;
    for (const char* pane : {"PzShellTree1", "PzShellList1", "PzShellTree2", "PzShellList2"})
        names << Find<QWidget>(pane)->accessibleName();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 4);
    EXPECT_FALSE(names.contains(QString()));
}

} // namespace
