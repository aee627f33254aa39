#include "framework/TImageList.h"
#include "framework/treeview/TTreeUpdateGuard.h"
#include "framework/treeview/TTreeView.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A control whose hooks record what reaches them: children are named
// "<parent>.<n>", `fanOut` of them per fill.
class RecordingTree : public TTreeView
{
public:
    RecordingTree()
        : tester(&Nodes(), QAbstractItemModelTester::FailureReportingMode::Warning)
    {
        resize(300, 200);
    }

    int fanOut = 3;
    std::vector<TTreeNode*> filled;
    std::vector<TTreeNode*> changes;
    std::vector<TTreeNode*> painted;
    std::vector<int> keys;
    bool consumeKeys = true;
    bool acceptEdits = true;
    QString edited;
    TTreeNode* canceled = nullptr;
    TTreeNode* dragged = nullptr;
    Qt::MouseButton dragButton = Qt::NoButton;
    QAbstractItemModelTester tester;

    void FillChildren(TTreeNode& node) override
    {
        filled.push_back(&node);
        TTreeUpdateGuard guard(*this);
        for (int i = fanOut; i > 0; --i)
            Nodes().Add(&node, node.Text() + "." + QString::number(i))->SetHasChildren(true);
        Nodes().SortChildren(&node, [](const TTreeNode& a, const TTreeNode& b) { return a.Text().compare(b.Text()); });
        node.SetHasChildren(node.Count() > 0);
    }
    void Change(TTreeNode* node) override { changes.push_back(node); }
    bool KeyDown(QKeyEvent& event) override
    {
        if (event.key() != Qt::Key_Control)
            keys.push_back(event.key());
        return consumeKeys && event.key() != Qt::Key_Down && event.key() != Qt::Key_Right;
    }
    void GetImage(TTreeNode& node) override
    {
        painted.push_back(&node);
        node.SetImageIndex(0);
    }
    bool Edited(TTreeNode&, const QString& text) override
    {
        edited = text;
        return acceptEdits;
    }
    void EditCanceled(TTreeNode& node) override { canceled = &node; }
    void StartDrag(TTreeNode& node, Qt::MouseButton button) override
    {
        dragged = &node;
        dragButton = button;
    }

    TTreeNode* AddRoot(const QString& text)
    {
        TTreeNode* root = Nodes().Add(nullptr, text);
        root->SetHasChildren(true);
        return root;
    }
};

}  // namespace

TEST(TreeView, NodesFillOnFirstExpansionAndKeepTheirIndexesThroughSortsAndDeletions)
{
    RecordingTree tree;
    TTreeNode* root = tree.AddRoot("r");
    EXPECT_TRUE(tree.Nodes().hasChildren(tree.Nodes().IndexOf(root)));  // expand button before any child
    EXPECT_EQ(root->Count(), 0);

    tree.show();
    tree.setFocus();
    tree.SetSelected(root);
    QTest::keyClick(&tree, Qt::Key_Right);  // the view expands; the children are filled first
    ASSERT_EQ(tree.filled.size(), 1u);
    EXPECT_TRUE(tree.IsExpanded(root));
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Item(0)->Text(), "r.1");
    tree.Collapse(root);
    tree.Expand(root);
    EXPECT_EQ(tree.filled.size(), 1u);  // filled once

    // A fill that finds nothing takes the expand button away and does not expand.
    tree.fanOut = 0;
    TTreeNode* empty = root->Item(2);
    tree.Expand(empty);
    EXPECT_FALSE(empty->HasChildren());
    EXPECT_FALSE(tree.IsExpanded(empty));

    // A sort keeps the selection on its node and every index in step.
    tree.SetSelected(root->Item(2));
    TTreeNode* selected = tree.Selected();
    {
        TTreeUpdateGuard guard(tree);
        tree.Nodes().Add(root, "r.0");
        tree.Nodes().Add(root, "r.05");
        tree.Nodes().SortChildren(root,
                                  [](const TTreeNode& a, const TTreeNode& b) { return a.Text().compare(b.Text()); });
        EXPECT_EQ(tree.Nodes().rowCount(tree.Nodes().IndexOf(root)), 3);  // shown at the bracket's end
    }
    ASSERT_EQ(root->Count(), 5);
    for (int i = 0; i < root->Count(); ++i) {
        EXPECT_EQ(root->Item(i)->Index(), i);
        EXPECT_EQ(TTreeNodeModel::NodeOf(tree.Nodes().IndexOf(root->Item(i))), root->Item(i));
    }
    EXPECT_EQ(root->Item(0)->Text(), "r.0");
    EXPECT_EQ(tree.Selected(), selected);
    EXPECT_EQ(tree.currentIndex(), tree.Nodes().IndexOf(selected));

    // Deleting every other child in one pass.
    tree.Nodes().DeleteChildrenIf(root, [](const TTreeNode& node) { return node.Index() % 2 == 0; });
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(0)->Text(), "r.05");
    EXPECT_EQ(root->Item(1)->Text(), "r.2");
    EXPECT_EQ(tree.Selected(), root->Item(1));
}

TEST(TreeView, KeysReachTheOwnerFirstAndSelectionChangesWaitForTheDelay)
{
    RecordingTree tree;
    TTreeNode* root = tree.AddRoot("r");
    tree.show();
    tree.setFocus();
    tree.Expand(root);
    tree.SetSelected(root);
    tree.changes.clear();

    // F2 and Ctrl+A, consumed by the owner, do nothing in the view.
    QTest::keyClick(&tree, Qt::Key_F2);
    QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.keys, (std::vector<int>{Qt::Key_F2, Qt::Key_A}));

    // With a delay the selection moves at once but the change comes once, after the last key.
    tree.SetChangeDelay(600);
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), root->Item(1));
    EXPECT_TRUE(tree.changes.empty());
    EXPECT_TRUE(tree.ChangePending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tree.changes.empty(); }));
    EXPECT_EQ(tree.changes, std::vector<TTreeNode*>{root->Item(1)});

    // Without one it comes at once.
    tree.SetChangeDelay(0);
    tree.SetSelected(root->Item(2));
    EXPECT_EQ(tree.changes.back(), root->Item(2));
}

TEST(TreeView, EditsEndInTheOwnersHandsOrAsCancelled)
{
    RecordingTree tree;
    TTreeNode* root = tree.AddRoot("r");
    tree.show();
    tree.Expand(root);
    TTreeNode* node = root->Item(0);

    ASSERT_TRUE(tree.EditText(node));
    // The newest editor; closed ones go later.
    auto newestEditor = [&] {
        return tree.findChildren<QLineEdit*>().value(tree.findChildren<QLineEdit*>().size() - 1);
    };
    auto* editor = newestEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText("neu");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tree.IsEditing(); }));
    EXPECT_EQ(tree.edited, "neu");
    EXPECT_EQ(node->Text(), "neu");

    tree.acceptEdits = false;  // the owner refuses: the text stays
    ASSERT_TRUE(tree.EditText(node));
    newestEditor()->setText("abgelehnt");
    tree.EndEdit(false);
    EXPECT_EQ(node->Text(), "neu");
    EXPECT_EQ(tree.canceled, nullptr);

    ASSERT_TRUE(tree.EditText(node));
    QTest::keyClick(newestEditor(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.canceled == node; }));

    tree.SetReadOnly(true);
    EXPECT_FALSE(tree.EditText(node));
}

TEST(TreeView, ImagesAreAskedForPaintedNodesOnlyAndHitsFindTheirParts)
{
    RecordingTree tree;
    TImageList images(16, 16);
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    images.Add(picture);
    tree.SetImages(&images);
    tree.fanOut = 2000;
    TTreeNode* root = tree.AddRoot("r");
    tree.show();
    tree.Expand(root);
    ASSERT_EQ(root->Count(), 2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.painted.size() > 3; }));
    QApplication::processEvents();
    EXPECT_LT(tree.painted.size(), 100u);
    for (TTreeNode* node : tree.painted)
        EXPECT_TRUE(node == root || tree.IsNodeVisible(node));

    TTreeNode* node = root->Item(1);
    TTreeView::THitPart part{};
    EXPECT_EQ(tree.NodeAt(tree.NodeRect(node, true).center(), &part), node);
    EXPECT_EQ(part, TTreeView::THitPart::Label);
    const QRect row = tree.NodeRect(node, false);
    EXPECT_EQ(tree.NodeAt(QPoint(row.left() - tree.Indent() / 2, row.center().y()), &part), node);
    EXPECT_EQ(part, TTreeView::THitPart::Button);
    EXPECT_EQ(tree.NodeAt(QPoint(row.left() + 4, row.center().y()), &part), node);
    EXPECT_EQ(part, TTreeView::THitPart::Icon);

    // A drag with the right button names that button.
    const QPoint start = tree.NodeRect(node, true).center();
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(0, 30)),
                     tree.viewport()->mapToGlobal(QPointF(start + QPoint(0, 30))), Qt::NoButton, Qt::RightButton,
                     Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    EXPECT_EQ(tree.dragged, node);
    EXPECT_EQ(tree.dragButton, Qt::RightButton);
}

TEST(TreeView, AssistiveTechnologySeesNodeTextsAndExpandedState)
{
    RecordingTree tree;
    TTreeNode* root = tree.AddRoot("Wurzel");
    tree.show();
    tree.Expand(root);
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&tree);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->role(), QAccessible::Tree);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->childCount() > 4; }));  // once the view has laid the rows out
    QAccessibleInterface* rootItem = nullptr;
    QStringList names;
    for (int i = 0; i < view->childCount(); ++i) {
        QAccessibleInterface* child = view->child(i);
        if (child->role() != QAccessible::TreeItem)
            continue;
        names << child->text(QAccessible::Name);
        if (child->text(QAccessible::Name) == "Wurzel")
            rootItem = child;
    }
    EXPECT_TRUE(names.contains("Wurzel.2"));
    ASSERT_NE(rootItem, nullptr);
    EXPECT_TRUE(rootItem->state().expandable);
    EXPECT_TRUE(rootItem->state().expanded);
}
