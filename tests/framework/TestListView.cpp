#include "framework/TImageList.h"
#include "framework/listview/TListView.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <set>

namespace {

// A list that records what the view asks of a subclass.
class TRecordingList : public TListView
{
public:
    using TListView::TListView;

    std::set<const TListItem*> requested;
    std::vector<Qt::MouseButton> drags;
    QString keys;
    int dblClicks = 0;
    bool consumeEnter = true;
    bool swallowB = false;
    bool refuseEdit = false;

protected:
    void DoGetImageIndex(TListItem& item) override
    {
        if (item.ImageIndex < 0) {
            requested.insert(&item);
            item.ImageIndex = 0;
            item.SubItems = {QStringLiteral("sub ") + item.Caption};
        }
    }
    void DoKeyDown(QKeyEvent& event, bool& handled) override
    {
        if ((event.key() == Qt::Key_Return && consumeEnter) || event.matches(QKeySequence::Copy))
            handled = true;
    }
    void DoKeyPress(QChar& key) override
    {
        keys += key;
        if (swallowB && key == QLatin1Char('b'))
            key = QChar();
    }
    void DoDblClick(const QPoint&) override { ++dblClicks; }
    void DoBeginDrag(Qt::MouseButton button) override { drags.push_back(button); }
    bool DoEdited(TListItem&, QString& text) override
    {
        if (refuseEdit)
            return false;
        text = text.trimmed();
        return true;
    }
};

class ListViewTest : public testing::Test
{
protected:
    void Fill(const QStringList& captions)
    {
        TListView::TUpdateGuard guard(list);
        list.Clear();
        list.SetColumns({{QStringLiteral("Name"), 120, Qt::AlignLeft}, {QStringLiteral("Größe"), 80, Qt::AlignRight}});
        for (const QString& caption : captions)
            list.AddItem(caption);
    }
    void Show()
    {
        list.resize(400, 600);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    void Click(Qt::MouseButton button, QPoint point, QEvent::Type type = QEvent::MouseButtonPress)
    {
        QMouseEvent event(type, point, list.viewport()->mapToGlobal(point), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &event);
    }

    TImageList images{16, 16};
    TRecordingList list;
};

TEST_F(ListViewTest, FillIsOneResetAndDeletesAreOneRemovalPerRun)
{
    QAbstractItemModelTester tester(&list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&list.Model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&list.Model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removals(&list.Model(), &QAbstractItemModel::rowsRemoved);
    QStringList captions;
    for (int i = 0; i < 12; ++i)
        captions << QStringLiteral("e%1").arg(i, 2, 10, QLatin1Char('0'));
    Fill(captions);
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(inserts.size(), 0);
    ASSERT_EQ(list.Model().rowCount(), 12);

    // Appends inside a bracket to a shown list come as one insertion.
    {
        TListView::TUpdateGuard guard(list);
        TListItem* dropped = list.AddItem(QStringLiteral("x1"));
        list.AddItem(QStringLiteral("x2"));
        list.DeleteItem(dropped);  // never shown, never announced
    }
    EXPECT_EQ(inserts.size(), 1);
    EXPECT_EQ(list.Count(), 13);
    EXPECT_EQ(list.Item(12)->Caption, QStringLiteral("x2"));

    TListItem* keep = list.Item(5);
    list.SetItemSelected(keep, true);
    list.DeleteItems({list.Item(1), list.Item(9), list.Item(2), list.Item(3), list.Item(10), list.Item(7)});
    EXPECT_EQ(removals.size(), 3);
    EXPECT_EQ(list.Count(), 7);
    for (int row = 0; row < list.Count(); ++row)
        EXPECT_EQ(list.Item(row)->Index(), row);
    EXPECT_EQ(keep->Index(), 2);
    EXPECT_EQ(list.Selected(), keep);

    // A descending sort keeps the selection and focus on their entries.
    list.SetItemFocused(keep);
    list.SetItemSelected(list.Item(0), true);
    list.CustomSort([](const TListItem* a, const TListItem* b) { return b->Caption.compare(a->Caption); });
    EXPECT_EQ(list.Item(0)->Caption, QStringLiteral("x2"));
    EXPECT_EQ(list.ItemFocused(), keep);
    EXPECT_EQ(list.SelCount(), 2);
    const auto selected = list.SelectedItems();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0], keep);
    EXPECT_EQ(selected[1]->Caption, QStringLiteral("e00"));
    list.SetSelected(nullptr);
    EXPECT_EQ(list.SelCount(), 0);
    EXPECT_EQ(list.Selected(), nullptr);
}

TEST_F(ListViewTest, OnlyPaintedEntriesAreCompletedAndShownToAssistiveTechnology)
{
    list.SetSmallImages(&images);
    QStringList captions;
    for (int i = 0; i < 10000; ++i)
        captions << QStringLiteral("file%1").arg(i);
    Fill(captions);
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.requested.empty(); }));
    QApplication::processEvents();
    const int visibleRows = list.viewport()->height() / list.sizeHintForRow(0) + 1;
    EXPECT_LE(int(list.requested.size()), visibleRows + 2);
    EXPECT_TRUE(list.requested.count(list.Item(0)));
    EXPECT_FALSE(list.requested.count(list.Item(5000)));

    // Asking the model completes nothing: only the view's paint does.
    EXPECT_EQ(list.Model().data(list.Model().index(5000, 1), Qt::DisplayRole), QVariant(QString()));
    EXPECT_FALSE(list.Item(5000)->Completed());

    list.MakeVisible(list.Item(5000), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.requested.count(list.Item(5000)) == 1; }));
    EXPECT_EQ(list.GetItemAt(list.DisplayRect(list.Item(5000), drBounds).center()), list.Item(5000));
    list.MakeVisible(list.Item(9999), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.Item(9999)->Completed(); }));
    EXPECT_LE(int(list.requested.size()), 3 * (visibleRows + 2));

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(accessible, nullptr);
    QAccessibleTableInterface* table = accessible->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 10000);
    EXPECT_EQ(table->columnCount(), 2);
    QAccessibleInterface* cell = table->cellAt(3, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("sub file3"));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("Größe"));
}

TEST(ListViewModel, KnowsNoViewAndGivesWhatTheEntriesHold)
{
    TListViewModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetColumns({{QStringLiteral("Name"), 100, Qt::AlignLeft}, {QStringLiteral("Größe"), 60, Qt::AlignRight}});
    auto entry = std::make_unique<TListItem>();
    entry->Caption = QStringLiteral("a.txt");
    entry->SubItems = {QStringLiteral("2 KB")};
    entry->ImageIndex = 3;
    TListItem* item = model.Add(std::move(entry));
    EXPECT_EQ(item->Owner(), &model);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("2 KB"));
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isValid());
    EXPECT_TRUE(model.setData(model.index(0, 0), QStringLiteral("b.txt"), Qt::EditRole));
    EXPECT_EQ(item->Caption, QStringLiteral("b.txt"));
    EXPECT_FALSE(item->Completed());
    // An entry of another model is not this one's.
    TListViewModel other;
    EXPECT_FALSE(other.IndexOf(item).isValid());
    other.Remove({item});
    EXPECT_EQ(model.Count(), 1);
}

TEST_F(ListViewTest, CompletionOutsideAPaintAnnouncesEachRunOnceAndBatchesGoOn)
{
    list.SetSmallImages(&images);
    QStringList captions;
    for (int i = 0; i < 2000; ++i)
        captions << QStringLiteral("file%1").arg(i);
    Fill(captions);
    // Taller than one batch of rows: the rest are completed on the following turns.
    list.resize(400, 4000);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QModelIndex bottom = list.indexAt(QPoint(1, list.viewport()->height() - 1));
    ASSERT_TRUE(bottom.isValid());
    const int lastShown = bottom.row();
    ASSERT_GT(lastShown, 150) << "more rows in view than one batch completes";
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.Item(lastShown)->Completed(); }));
    EXPECT_EQ(int(list.requested.size()), lastShown + 1);
    EXPECT_FALSE(list.Item(lastShown + 1)->Completed());

    QAbstractItemModelTester tester(&list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changes(&list.Model(), &QAbstractItemModel::dataChanged);
    for (int row : {2, 3, 4, 7}) {
        list.Item(row)->ImageIndex = -1;
        TListView::MarkIncomplete(*list.Item(row));
    }
    list.requested.clear();
    list.CompleteVisible();
    EXPECT_EQ(list.requested.size(), 4u);
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][0].toModelIndex(), list.Model().index(2, 0));
    EXPECT_EQ(changes[0][1].toModelIndex(), list.Model().index(4, 1));
    EXPECT_EQ(changes[1][0].toModelIndex(), list.Model().index(7, 0));
    EXPECT_EQ(changes[1][1].toModelIndex(), list.Model().index(7, 1));
    changes.clear();
    list.CompleteVisible();
    EXPECT_EQ(changes.size(), 0);  // nothing left to complete
}

TEST_F(ListViewTest, KeysComeAsKeyDownThenCharacterBeforeTheViewsOwn)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    list.setParent(&dialog);
    layout->addWidget(&list);
    auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
    button->setDefault(true);
    layout->addWidget(button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    Fill({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    list.setFocus();
    list.SetItemFocused(list.Item(0));
    list.SetItemSelected(list.Item(0), true);

    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.keys, QStringLiteral("\r"));
    list.consumeEnter = false;
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(clicked.size(), 0);  // Enter never reaches the dialog's default button

    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.SelCount(), 1);  // the view's own select-all does not run
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.ItemFocused(), list.Item(1));

    // Type-ahead follows the character event and stops when it is swallowed.
    QTest::keyClick(&list, Qt::Key_G);
    EXPECT_EQ(list.ItemFocused(), list.Item(2));
    list.swallowB = true;
    QTest::keyClick(&list, Qt::Key_B);
    EXPECT_EQ(list.ItemFocused(), list.Item(2));
    EXPECT_TRUE(list.keys.endsWith(QStringLiteral("gb")));
    list.setParent(nullptr);
}

TEST_F(ListViewTest, MouseKeepsSelectionOnEmptySpaceAndReportsDragButtons)
{
    Fill({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    Show();
    const QPoint second = list.DisplayRect(list.Item(1), drLabel).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(list.Selected(), list.Item(1));

    const QPoint empty(20, list.viewport()->height() - 10);
    ASSERT_EQ(list.GetItemAt(empty), nullptr);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(list.dblClicks, 1);
    EXPECT_EQ(list.Selected(), list.Item(1));

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        Click(button, second);
        QMouseEvent move(QEvent::MouseMove, second + QPoint(0, 40),
                         list.viewport()->mapToGlobal(second + QPoint(0, 40)), Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
        QMouseEvent move2(QEvent::MouseMove, second + QPoint(30, 40),
                          list.viewport()->mapToGlobal(second + QPoint(30, 40)), Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move2);
        Click(button, second + QPoint(30, 40), QEvent::MouseButtonRelease);
    }
    EXPECT_EQ(list.drags, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton}));
}

TEST_F(ListViewTest, CaptionEditingCommitsThroughTheSubclass)
{
    Fill({QStringLiteral("old"), QStringLiteral("other")});
    Show();
    list.SetReadOnly(true);
    EXPECT_FALSE(list.EditCaption(list.Item(0)));
    list.SetReadOnly(false);
    ASSERT_TRUE(list.EditCaption(list.Item(0)));
    EXPECT_TRUE(list.IsEditing());
    auto* editor = list.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("  new "));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsEditing(); }));
    EXPECT_EQ(list.Item(0)->Caption, QStringLiteral("new"));
    EXPECT_TRUE(list.keys.isEmpty());  // keys of the editor are the editor's

    list.refuseEdit = true;
    ASSERT_TRUE(list.EditCaption(list.Item(1)));
    editor = nullptr;
    for (QLineEdit* open : list.findChildren<QLineEdit*>())
        if (open->isVisible())
            editor = open;  // the closed editor waits for its deletion
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("refused"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsEditing(); }));
    EXPECT_EQ(list.Item(1)->Caption, QStringLiteral("other"));
}

}  // namespace
