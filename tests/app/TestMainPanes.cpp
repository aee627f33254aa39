#include "app/forms/TAboutBox.h"
#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"
#include "app/work/TProgressWindow.h"
#include "controls/buttons/TBitBtnXP.h"
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
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

// Records what the default command would start instead of starting it.
class TRecordingLauncher : public IAppLauncher
{
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
class MainPanes : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        previousLauncher_ = SetAppLauncher(launcher_);
        answers_ = std::make_unique<TScopedMessageHandler>([this](const TMessageRequest& request) {
            messages.push_back(request);
            cursors.push_back(CursorNow());
            const auto* progress = form_ ? form_->findChild<TProgressWindow*>() : nullptr;
            progressUp.push_back(progress && progress->isVisible());
            if (afterBox)
                afterBox();
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
        EXPECT_TRUE(QTest::qWaitFor([&] { return (entry = Entry(list, caption)) != nullptr; }))
            << caption.toStdString();
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
    QStringList LogLines()
    {
        return Find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    std::string Piece(int number) { return Work() + "/film.bin.000" + std::to_string(number); }

    // Runs action once, as soon as the progress window is up and its bar has reached minimum per mille.
    void WhenProgressShows(std::function<void(TProgressWindow&)> action, int minimum = 1)
    {
        auto* poll = new QTimer(form_);
        QObject::connect(poll, &QTimer::timeout, form_, [this, poll, action, minimum] {
            auto* window = form_->findChild<TProgressWindow*>();
            auto* bar = window ? window->findChild<QProgressBar*>() : nullptr;
            if (!window || !window->isVisible() || !bar || bar->value() < minimum)
                return;
            poll->stop();
            poll->deleteLater();
            progressTexts.clear();
            for (const QLabel* label : window->findChildren<QLabel*>())
                progressTexts << label->text();
            action(*window);
        });
        poll->start(10);
    }
    // A file of `size` bytes that takes no room until written.
    void MakeSparseFile(const std::string& path, std::uintmax_t size)
    {
        WriteBytes(path, "");
        fs::resize_file(path, size);
    }

    static Qt::CursorShape CursorNow()
    {
        return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    }

    std::vector<TMessageRequest> messages;
    std::vector<bool> progressUp;          // whether the progress window was up as each box came
    QStringList progressTexts;             // the progress window's texts when WhenProgressShows acted
    std::vector<Qt::CursorShape> cursors;  // the pointer each box was answered with
    std::function<void()> afterBox;        // runs as each box is answered
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

// A file in the trash lies in no folder on disk: activating it is refused by
// name, and nothing is written, neither in the trash nor in the working directory.
TEST_F(MainPanes, AnEntryInTheTrashIsRefusedByName)
{
    const std::string trash = Home() + "/.local/share/Trash";
    fs::create_directories(trash + "/files");
    fs::create_directories(trash + "/info");
    WriteBytes(trash + "/files/alt.txt", "inhalt");
    WriteBytes(trash + "/info/alt.txt.trashinfo",
               "[Trash Info]\nPath=" + Work() + "/alt.txt\nDeletionDate=2026-01-01T00:00:00\n");
    List(1)->SetSpecialFolder(SF_BITBUCKET);
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("alt.txt"), true), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].Text.startsWith(QStringLiteral("\u201Ealt.txt\u201C liegt in keinem Ordner")))
        << messages[0].Text.toStdString();
    EXPECT_FALSE(fs::exists(fs::current_path() / "alt.txt.0001"));
    EXPECT_FALSE(fs::exists(trash + "/files/alt.txt.0001"));
}

TEST_F(MainPanes, EnterSplitsAfterTheDefaultCommandButABadPieceSizeWritesNothing)
{
    WriteBytes(Work() + "/daten.txt", std::string(3000, 'x'));
    Find<TPzShellTree>("PzShellTree1")->SetSelectedFolder(QString::fromStdString(Work()));
    for (const QString& bad :
         {QStringLiteral("12-3"), QStringLiteral("1,4"), QStringLiteral(""), QStringLiteral("99999999999999999999")}) {
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

// The size button's menu writes the usual sizes, "In gleiche Teile…" the
// smallest size for N pieces of the selected file, and the label beside
// follows in units; a size that would make more than 100 000 pieces asks first.
TEST_F(MainPanes, SizePresetsAndEqualPiecesSetTheSizeAndItsUnits)
{
    auto* sizeEd = Find<TPzSpinEdit>("SizeEd");
    auto* units = Find<QLabel>("SizeUnitsLbl");
    auto* button = Find<TBitBtnXP>("SizePresetBtn");
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Größe wählen"));
    EXPECT_EQ(units->text(), QStringLiteral("= 1,39 MiB"));
    ASSERT_NE(button->menu(), nullptr);
    // A click opens the menu under the button.
    bool opened = false;
    QTimer::singleShot(0, button, [&] {
        QMenu* shown = button->menu();
        opened = shown->isVisible() && shown->geometry().top() >= button->mapToGlobal(QPoint(0, 0)).y();
        shown->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(opened);
    QList<QAction*> entries = button->menu()->actions();
    ASSERT_EQ(entries.size(), 9);
    EXPECT_TRUE(entries[7]->isSeparator());
    const QList<std::pair<QString, QString>> presets{{"Diskette (1,44 MB)", "1457664"},
                                                     {"CD (700 MB)", "734003200"},
                                                     {"DVD (4,7 GB)", "4700372992"},
                                                     {"DVD DL (8,5 GB)", "8543666176"},
                                                     {"FAT32-Grenze (4 GB − 1 Byte)", "4294967295"},
                                                     {"E-Mail (10 MB)", "10485760"},
                                                     {"E-Mail (25 MB)", "26214400"}};
    for (int i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(entries[i]->text(), presets[i].first);
        entries[i]->trigger();
        EXPECT_EQ(sizeEd->text(), presets[i].second);
    }
    EXPECT_EQ(units->text(), QStringLiteral("= 25,00 MiB"));
    EnterPieceSize(QStringLiteral("12-3"), false);
    EXPECT_TRUE(units->text().isEmpty());
    EnterPieceSize(QStringLiteral("512"), false);
    EXPECT_EQ(units->text(), QStringLiteral("= 512 Bytes"));

    QAction* equal = entries[8];
    EXPECT_EQ(equal->text(), QStringLiteral("In gleiche Teile…"));
    equal->trigger();  // nothing selected yet
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Icon, TMessageIcon::Error);
    WriteBytes(Work() + "/zehn.bin", "0123456789");
    WriteBytes(Work() + "/leer.bin", "");
    Find<TPzShellTree>("PzShellTree1")->SetSelectedFolder(QString::fromStdString(Work()));
    QStringList asked;
    QString pieces;
    const TScopedMessageHandler answerPieces([&](const TMessageRequest& request) {
        asked << request.Text;
        return TMessageAnswer{0, false, request.Style == TMessageStyle::Input ? pieces : QString()};
    });
    ClickEntry(List(1), QStringLiteral("zehn.bin"), false);
    for (const auto& [count, size] : {std::pair{"3", "4"}, std::pair{"2", "6"}, std::pair{"11", "1"}}) {
        pieces = QString::fromLatin1(count);
        equal->trigger();
        EXPECT_EQ(sizeEd->text(), QString::fromLatin1(size)) << count;
    }
    ClickEntry(List(1), QStringLiteral("leer.bin"), false);
    pieces = QStringLiteral("2");
    equal->trigger();
    EXPECT_EQ(sizeEd->text(), QStringLiteral("1")) << "no size cuts an empty file in two";
    ASSERT_EQ(asked.size(), 5);
    EXPECT_TRUE(asked[4].contains(QStringLiteral("nicht in genau 2 Teile"))) << asked[4].toStdString();

    // A size of 1 would cut 100 001 bytes into 100 002 pieces: asked, Nein writes nothing.
    WriteBytes(Work() + "/gross.bin", std::string(100001, 'g'));
    const TScopedMessageHandler answerNo([&](const TMessageRequest& request) {
        asked << request.Text;
        return TMessageAnswer{1, false};
    });
    ClickEntry(List(1), QStringLiteral("gross.bin"), true);
    ASSERT_EQ(asked.size(), 6);
    EXPECT_EQ(asked[5], QStringLiteral("Die Datei würde in 100002 Teile aufgeteilt. Trotzdem teilen?"));
    EXPECT_FALSE(fs::exists(Work() + "/gross.bin.0001"));
}

// 2 GiB take seconds to split: the progress window opens over the modal
// window, and "Abbrechen" takes back every piece this split wrote.
TEST_F(MainPanes, ALongSplitShowsItsProgressAndAbbrechenLeavesNoPieceBehind)
{
    MakeSparseFile(Work() + "/film.bin", std::uintmax_t{2} << 30);
    WriteBytes(Piece(2), "older");
    WriteBytes(Work() + "/film.bin.0300", "stale");
    Find<TPzShellTree>("PzShellTree1")->SetSelectedFolder(QString::fromStdString(Work()));
    EnterPieceSize(QStringLiteral("10000000"), false);
    form_->SetProgressWindowDelay(std::chrono::milliseconds(0));  // however fast the disk
    bool stopped = false;
    bool aboutOpened = false;
    WhenProgressShows(
        [&](TProgressWindow& window) {
            EXPECT_TRUE(form_->IsWorking());
            EXPECT_EQ(window.windowModality(), Qt::WindowModal);
            // The main window takes no input meanwhile; a box that opened all the same is closed.
            QTimer::singleShot(0, &program_->AboutBox(), [&] {
                aboutOpened = program_->AboutBox().isVisible();
                program_->AboutBox().reject();
            });
            QTest::mouseClick(Find<QPushButton>("AboutBtn"), Qt::LeftButton);
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
            stopped = true;
        },
        10);  // 21 MB: piece 2 has been replaced
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("film.bin"), true), nullptr);

    EXPECT_TRUE(stopped);
    EXPECT_FALSE(aboutOpened);
    EXPECT_FALSE(form_->IsWorking());
    EXPECT_TRUE(progressTexts.contains(QStringLiteral("film.bin")));
    EXPECT_FALSE(progressTexts.filter(QRegularExpression(QStringLiteral("^film\\.bin\\.0[0-9]{3}$"))).isEmpty())
        << progressTexts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages.empty()) << "a stopped split says nothing in a box";
    EXPECT_EQ(LogLines(), (QStringList{QString::fromStdString(Piece(1)), QStringLiteral("Teilen abgebrochen.")}));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(Work()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"film.bin", "film.bin.0300"}));
    EXPECT_EQ(ReadAll(Work() + "/film.bin.0300"), "stale");
    EXPECT_EQ(form_->findChild<TProgressWindow*>(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The replace question comes first and alone; Esc in the progress window stops
// the join, whose target keeps its earlier contents.
TEST_F(MainPanes, ALongJoinCountsItsPiecesAndEscLeavesTheTargetAsItWas)
{
    for (int number = 1; number <= 3; ++number)
        MakeSparseFile(Piece(number), 300000000);
    WriteBytes(Piece(4), "end");
    WriteBytes(Work() + "/film.bin", "older");
    Find<TPzShellTree>("PzShellTree2")->SetSelectedFolder(QString::fromStdString(Work()));
    ClickTab(1);
    // No progress window before the question; once it is answered, one at once, however fast the disk.
    const auto quickAfterQuestion = [this] {
        form_->SetProgressWindowDelay(std::chrono::hours(1));
        afterBox = [this] { form_->SetProgressWindowDelay(std::chrono::milliseconds(0)); };
    };
    quickAfterQuestion();
    WhenProgressShows([&](TProgressWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    ASSERT_NE(ClickEntry(List(2), QStringLiteral("film.bin.0002"), true), nullptr);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Icon, TMessageIcon::Question);
    EXPECT_EQ(progressUp, std::vector<bool>{false});
    EXPECT_FALSE(progressTexts.filter(QRegularExpression(QStringLiteral("^[1-4] von 4$"))).isEmpty())
        << progressTexts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(LogLines(), QStringList{QStringLiteral("Zusammenfügen abgebrochen.")});
    EXPECT_EQ(ReadAll(Work() + "/film.bin"), "older");
    for (const auto& entry : fs::directory_iterator(Work()))
        EXPECT_EQ(entry.path().filename().string().find(".parzello-"), std::string::npos);

    // Left to finish, the join closes its progress window before the completion box comes;
    // smaller pieces keep a slow disk's flush short.
    for (int number = 1; number <= 3; ++number)
        MakeSparseFile(Piece(number), 50000000);
    bool progressShown = false;
    quickAfterQuestion();
    WhenProgressShows([&](TProgressWindow&) { progressShown = true; });
    ASSERT_NE(ClickEntry(List(2), QStringLiteral("film.bin.0002"), true), nullptr);
    EXPECT_TRUE(progressShown);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].Icon, TMessageIcon::Information);
    EXPECT_EQ(progressUp, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(form_->findChild<TProgressWindow*>(), nullptr);
    EXPECT_EQ(fs::file_size(Work() + "/film.bin"), 150000003u);
}

// Esc on the busy window stops the split instead of ending the program;
// closing the window while a split runs asks, and agreed, the split stops and
// the window closes after it.
TEST_F(MainPanes, EscDuringWorkStopsItAndClosingAsksThenStopsAndCloses)
{
    WriteBytes(Work() + "/daten.txt", std::string(100000, 'x'));
    Find<TPzShellTree>("PzShellTree1")->SetSelectedFolder(QString::fromStdString(Work()));
    EnterPieceSize(QStringLiteral("1000"), false);
    bool closing = false;
    // The first log line comes while the split runs.
    QObject::connect(Find<QPlainTextEdit>("Memo1"), &QPlainTextEdit::textChanged, form_, [&] {
        if (!form_->IsWorking())
            return;
        if (closing) {
            form_->close();
        } else {
            QTest::keyClick(List(1), Qt::Key_Escape);
            QTest::mouseClick(Find<QPushButton>("EndeprgBtn"), Qt::LeftButton);
        }
    });
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("daten.txt"), true), nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(LogLines().last(), QStringLiteral("Teilen abgebrochen."));
    EXPECT_FALSE(fs::exists(Work() + "/daten.txt.0001"));
    EXPECT_TRUE(form_->isVisible());

    closing = true;
    ASSERT_NE(ClickEntry(List(1), QStringLiteral("daten.txt"), true), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Icon, TMessageIcon::Question);
    EXPECT_EQ(LogLines().size(), 4);
    EXPECT_EQ(LogLines().last(), QStringLiteral("Teilen abgebrochen."));
    EXPECT_FALSE(fs::exists(Work() + "/daten.txt.0001"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }));
}

}  // namespace
