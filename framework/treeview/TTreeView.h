#pragma once

#include "framework/treeview/TTreeNodeModel.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <functional>

class TImageList;
class TTreeNodeDelegate;

// The tree view control of the panes: QTreeView over a TTreeNodeModel, with
// what a shell folder tree needs of it. Nodes carry their own images (drawn
// from the control's image lists), an expand button independent of their
// children, and the cut and drop-target marks. Subclasses react through the
// protected hooks: filling children just before a node first expands, the
// selection change after the change delay, keys before the view's own key
// handling, images of nodes as they are first painted, in-place editing, and
// drags started with either mouse button.
class TTreeView : public QTreeView
{
    Q_OBJECT

public:
    enum class THitPart { Nowhere, Indent, Button, StateIcon, Icon, Label, Right };

    explicit TTreeView(QWidget* parent = nullptr);
    ~TTreeView() override;

    TTreeNodeModel& Nodes() const { return *nodes_; }

    // The selected node, which is also the focused one; null for none.
    TTreeNode* Selected() const;
    // Selects and focuses a node (null clears the selection) without scrolling.
    void SetSelected(TTreeNode* node);
    void MakeVisible(TTreeNode* node);
    // Fills the node's children first when it shows an expand button but has none.
    void Expand(TTreeNode* node);
    void Collapse(TTreeNode* node);
    bool IsExpanded(const TTreeNode* node) const;
    // Whether any part of the node's row lies in the visible area.
    bool IsNodeVisible(const TTreeNode* node) const;

    // Milliseconds between a selection change and Change(); 0 calls it at once.
    int ChangeDelay() const { return changeDelay_; }
    void SetChangeDelay(int milliseconds) { changeDelay_ = milliseconds; }
    // Whether a selection change is waiting for its delay to pass.
    bool ChangePending() const { return changeTimer_.isActive(); }

    // Image lists stay the caller's.
    const TImageList* Images() const { return images_; }
    void SetImages(const TImageList* images);
    const TImageList* StateImages() const { return stateImages_; }
    void SetStateImages(const TImageList* images);

    bool RightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool value) { rightClickSelect_ = value; }
    // Whether the selection is drawn only while the control has the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    // Whether the roots show lines and expand buttons.
    bool ShowRoot() const { return rootIsDecorated(); }
    void SetShowRoot(bool value) { setRootIsDecorated(value); }
    int Indent() const { return indentation(); }
    void SetIndent(int pixels) { setIndentation(pixels); }
    // Forbids in-place editing.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // Whether a mouse drag on a node starts StartDrag (the automatic drag mode).
    bool AutoDrag() const { return autoDrag_; }
    void SetAutoDrag(bool value) { autoDrag_ = value; }

    // The node at a point of the viewport and the part of its row there.
    TTreeNode* NodeAt(const QPoint& point, THitPart* part = nullptr) const;
    // The node's row in viewport coordinates, or only its text; empty when not laid out.
    QRect NodeRect(const TTreeNode* node, bool textOnly) const;

    // Starts editing a node's text; false when refused.
    bool EditText(TTreeNode* node);
    bool IsEditing() const { return editing_.isValid(); }
    TTreeNode* EditingNode() const;
    // Ends a running edit, taking or dropping the text.
    void EndEdit(bool cancel);

    // The update bracket of control and nodes; see TTreeUpdateGuard.
    void BeginUpdate();
    void EndUpdate();

    // Raised by the default Change().
    std::function<void(TTreeView& sender, TTreeNode* node)> OnChange;

protected:
    // Fills the children of a node that shows an expand button and has none.
    virtual void FillChildren(TTreeNode& node);
    // The selection changed and the change delay passed.
    virtual void Change(TTreeNode* node);
    // A key before the view handles it (not while editing); true consumes it.
    virtual bool KeyDown(QKeyEvent& event);
    // Whether the control takes a key that is also a window shortcut.
    virtual bool OwnsShortcut(const QKeyEvent& event) const;
    // A node is painted whose image index is still negative.
    virtual void GetImage(TTreeNode& node);
    virtual bool CanEdit(TTreeNode& node);
    // An edit ended with a text; true lets the node take it.
    virtual bool Edited(TTreeNode& node, const QString& text);
    virtual void EditCanceled(TTreeNode& node);
    // The mouse moved far enough with `button` held since it was pressed on `node`.
    virtual void StartDrag(TTreeNode& node, Qt::MouseButton button);
    // An overlay covering the icon square; null for none.
    virtual QPixmap OverlayPixmap(int index) const;

    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TTreeNodeDelegate;
    void FillIfEmpty(TTreeNode& node);
    void CurrentMoved();
    void ChangeTimerFired();
    void NodePainted(TTreeNode& node);
    QSize ImageSize() const;

    TTreeNodeModel* nodes_;
    TTreeNodeDelegate* delegate_;
    const TImageList* images_ = nullptr;
    const TImageList* stateImages_ = nullptr;
    QTimer changeTimer_;
    int changeDelay_ = 0;
    bool rightClickSelect_ = false;
    bool hideSelection_ = true;
    bool readOnly_ = false;
    bool autoDrag_ = true;
    int updateCount_ = 0;
    QPersistentModelIndex editing_;
    QPersistentModelIndex changed_;  // the node the last Change() was about
    bool committed_ = false;
    Qt::MouseButton pressButton_ = Qt::NoButton;
    QPoint pressPoint_;
    QPersistentModelIndex pressed_;
};
