// The folder tree's commands: keys, verbs, the context menu, renaming in
// place, the mouse, drag and drop, and check boxes.
#include "shell/panes/tree/TPzShellTree.h"

#include "framework/TCursorGuard.h"
#include "platform/exchange/DropEffects.h"
#include "platform/exchange/IDataObject.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/DroppedFiles.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/panes/PaneClipboard.h"
#include "shell/panes/tree/TPzShellTreeItem.h"
#include "shell/selection/TPzSelectionList.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>

#include <sys/stat.h>

namespace {

// A node hovered over this long during a drag expands.
constexpr int kHoverExpandMs = 2000;

QString Decoded(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool KeyIs(const QKeyEvent& event, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return event.key() == key && held == modifiers;
}

}  // namespace

// --- Keys -----------------------------------------------------------------------

bool TPzShellTree::OwnsShortcut(const QKeyEvent& event) const
{
    return KeyIs(event, Qt::Key_A, Qt::ControlModifier) || KeyIs(event, Qt::Key_C, Qt::ControlModifier) ||
           KeyIs(event, Qt::Key_V, Qt::ControlModifier) || KeyIs(event, Qt::Key_X, Qt::ControlModifier) ||
           KeyIs(event, Qt::Key_F2, {}) || KeyIs(event, Qt::Key_F5, {}) || KeyIs(event, Qt::Key_Delete, {});
}

bool TPzShellTree::KeyDown(QKeyEvent& event)
{
    // A verb reports its own failure (the browser's message, the last error); a key has nothing to add.
    bool consumed = false;
    TTreeNode* selected = Selected();
    if (KeyIs(event, Qt::Key_Return, Qt::AltModifier) || KeyIs(event, Qt::Key_Enter, Qt::AltModifier)) {
        static_cast<void>(ExecuteVerb("properties"));
        consumed = true;
    } else if (KeyIs(event, Qt::Key_Space, {}) && link_ && checkBoxes_) {
        ToggleCheck(selected);
    } else if (KeyIs(event, Qt::Key_Delete, {}) && !ReadOnly()) {
        static_cast<void>(ExecuteVerb("delete"));
    } else if (KeyIs(event, Qt::Key_A, Qt::ControlModifier)) {
        if (link_)
            link_->SelectAll(this);
        consumed = true;
    } else if (KeyIs(event, Qt::Key_C, Qt::ControlModifier)) {
        static_cast<void>(ExecuteVerb("copy"));
        consumed = true;
    } else if (KeyIs(event, Qt::Key_V, Qt::ControlModifier)) {
        if (!ReadOnly()) {
            const TFileNames files = ClipboardFileNames();
            // Only a paste that ran is reported, as the list does.
            if (ExecuteVerb("paste"))
                DoOperation(opPaste | opClipboard, files, Decoded(GetNodePath(Selected())));
        }
        consumed = true;
    } else if (KeyIs(event, Qt::Key_X, Qt::ControlModifier)) {
        if (!ReadOnly())
            static_cast<void>(ExecuteVerb("cut"));
        consumed = true;
    } else if (KeyIs(event, Qt::Key_F2, {})) {
        if (selected)
            static_cast<void>(ExecuteVerb("rename"));
    } else if (KeyIs(event, Qt::Key_F5, {})) {
        RefreshTree();
        if (link_)
            link_->FullRefresh(this);
    } else if (KeyIs(event, Qt::Key_F10, Qt::ShiftModifier)) {
        if (shellContextMenu_ && selected) {
            ShowShellContextMenu(viewport()->mapToGlobal(KeyboardMenuPoint()));
            consumed = true;
        }
    }
    SetChangeDelay(link_ ? kKeyboardChangeDelay : kDefaultChangeDelay);
    return consumed;
}

// --- Verbs and the context menu -----------------------------------------------------

void TPzShellTree::PrepareRename()
{
    if (ReadOnly())
        browser_.OnRename = nullptr;
    else
        browser_.OnRename = [this](TShellNavigator&) {
            // Started after the menu or key has returned, so the editor keeps the focus.
            QTimer::singleShot(0, this, [this] {
                if (TTreeNode* node = Selected())
                    EditText(node);
            });
        };
}

bool TPzShellTree::ExecuteVerb(const QString& verb)
{
    TTreeNode* node = Selected();
    if (!node)
        return false;
    PrepareRename();
    TFileNames files;
    if (verb.compare("paste", Qt::CaseInsensitive) == 0)
        files = ClipboardFileNames();
    else
        files.Add(SelectedFolder());
    bool result = true;
    if (TPzShellTreeItem* item = ShellItem(node)) {
        try {
            browser_.SetAbsoluteIDList(item->Absolute());
        } catch (const EShellNavigatorError&) {
            return false;
        }
        result = browser_.InvokeCommand(verb);
    }
    if (result)
        AfterCommand(verb.toLower(), files);
    return result;
}

void TPzShellTree::AfterCommand(const QString& verb, const TFileNames& files)
{
    if (verb == "delete") {
        SetChangeDelay(0);
        if (!AutomaticRefresh())
            Nodes().Delete(Selected());
        DoOperation(kDeleteOperation, files, QString());
    } else if (verb == "paste") {
        // The paste has ended on disk; the refresh finds what it made.
        RefreshSelected();
        DoOperation(PasteOperation(files), files, SelectedFolder());
    } else if (verb == "cut") {
        if (TTreeNode* node = Selected())
            node->SetCut(true);
    }
}

QPoint TPzShellTree::KeyboardMenuPoint() const
{
    return NodeRect(Selected(), true).bottomRight();
}

void TPzShellTree::contextMenuEvent(QContextMenuEvent* event)
{
    TTreeNode* node = Selected();
    if (!shellContextMenu_ || !IsShellNode(node)) {
        if (popupMenu_)
            popupMenu_->exec(event->globalPos());
        return;
    }
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard || event->pos().x() <= 0;
    ShowShellContextMenu(keyboard ? viewport()->mapToGlobal(KeyboardMenuPoint()) : event->globalPos());
    event->accept();
}

void TPzShellTree::ShowShellContextMenu(const QPoint& screenPoint)
{
    TTreeNode* node = Selected();
    TPzShellTreeItem* item = ShellItem(node);
    if (!item)
        return;
    QString verb;
    TFileNames files;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
        browser_.SetRestricted(ReadOnly());
        browser_.SetShowContextMenuOnTop(ShowContextMenuOnTop());
        PrepareRename();
        files.Add(SelectedFolder());
        verb = browser_.ShowContextMenu(screenPoint, popupMenu_);
    } catch (const EShellNavigatorError&) {
        RefreshNode(node->Parent() ? node->Parent() : node, false, true);
        return;
    }
    verb = verb.toLower();
    if (verb == "paste")
        files = ClipboardFileNames();
    AfterCommand(verb, files);
}

// --- Renaming in place ----------------------------------------------------------------

bool TPzShellTree::CanEdit(TTreeNode& node)
{
    TPzShellTreeItem* item = ShellItem(&node);
    if (!item)
        return true;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
    } catch (const EShellNavigatorError&) {
        return false;
    }
    return browser_.CanRename();
}

bool TPzShellTree::Edited(TTreeNode& node, const QString& text)
{
    TPzShellTreeItem* item = ShellItem(&node);
    if (!item)
        return true;
    if (text.isEmpty() || text == node.Text())
        return false;
    const QString oldPath = Decoded(GetNodePath(&node));
    QString newName = text;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
    } catch (const EShellNavigatorError&) {
        return false;
    }
    if (!browser_.RenameObject(newName))
        return false;  // the shell refused: the node keeps its name
    node.SetText(browser_.GetDisplayName());
    TItemIdListPtr folder = browser_.GetFolderIDList();
    item->Reset(browser_.GetObjectIDList(), ConcatIDLists(folder.get(), browser_.ObjectIDList()));
    const bool expanded = IsExpanded(&node);
    // The children's lists name the old path: drop them; the node fills afresh when expanded again.
    Collapse(&node);
    Nodes().DeleteChildren(&node);
    node.SetHasChildren(true);
    if (!AutomaticRefresh())
        RefreshNode(&node, false, true);
    if (node.Parent())
        SortNodeChildren(node.Parent());
    TFileNames files;
    files.Add(oldPath);
    DoOperation(opRename, files, Decoded(GetNodePath(&node)));
    TTreeNode* selected = Selected();
    if (selected && QString::fromStdString(GetNodePath(selected)) + "/" == browser_.Folder()) {
        NotifyLink(selected);
    } else {
        NotifyLink(&node);
        SetSelected(&node);
    }
    // The shell reports the rename a little later; the expanded state comes
    // back after that, without blocking the window meanwhile. A report may
    // remove the node first: it is found again by its index.
    const QPersistentModelIndex index = Nodes().IndexOf(&node);
    QTimer::singleShot(kRenameSettleMs, this, [this, index, expanded] { RenameSettled(index, expanded); });
    return false;  // the node already shows the shell's name
}

void TPzShellTree::RenameSettled(QPersistentModelIndex index, bool expanded)
{
    TTreeNode* node = TTreeNodeModel::NodeOf(index);
    if (node && expanded)
        Expand(node);
}

void TPzShellTree::EditCanceled(TTreeNode& node)
{
    if (OnEditCanceled)
        OnEditCanceled(*this, node);
}

// --- Mouse ------------------------------------------------------------------------------

void TPzShellTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    TTreeNode* node = NodeAt(event->position().toPoint());
    if (OnDblClick) {
        if (node)
            OnDblClick(*this, *node);
        return;
    }
    TTreeView::mouseDoubleClickEvent(event);
    TPzShellTreeItem* item = ShellItem(node);
    if (event->button() != Qt::LeftButton || !item)
        return;
    try {
        browser_.SetAbsoluteIDList(item->Absolute());
    } catch (const EShellNavigatorError&) {
        return;
    }
    if (ShowFiles() && !item->IsFolder())
        static_cast<void>(ExecuteVerb("default"));  // reports its own failure
}

void TPzShellTree::mousePressEvent(QMouseEvent* event)
{
    TTreeNode* node = nullptr;
    if (event->button() == Qt::LeftButton && OnStateIcon(event->position().toPoint(), &node)) {
        ToggleCheck(node);
        event->accept();
        return;
    }
    SetChangeDelay(0);  // a click acts at once
    TTreeView::mousePressEvent(event);
}

void TPzShellTree::enterEvent(QEnterEvent* event)
{
    TTreeView::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TPzShellTree::leaveEvent(QEvent* event)
{
    TTreeView::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

// --- Drag and drop ------------------------------------------------------------------------

void TPzShellTree::StartDrag(TTreeNode& node, Qt::MouseButton button)
{
    TPzShellTreeItem* item = ShellItem(&node);
    if (!oleDragDrop_ || !item || !node.Parent() || !item->ParentFolder())
        return;
    const TItemIdList* items[] = {item->Relative()};
    std::shared_ptr<IUIObject> object;
    if (item->ParentFolder()->GetUIObjectOf(nullptr, items, TUIObjectKind::DataObject, object).Failed())
        return;
    auto data = std::dynamic_pointer_cast<IDataObject>(object);
    if (!data)
        return;
    TFileNames files;
    for (const std::string& path : data->FileNames())
        files.Add(path);
    const QPersistentModelIndex parentIndex = Nodes().IndexOf(node.Parent());
    auto* drag = new QDrag(this);
    drag->setMimeData(data->CreateMimeData(false).release());
    Q_UNUSED(button);  // Qt's drag loop ends with the release of whichever button started it
    const Qt::DropAction action = drag->exec(DropActionsOf(DropEffectsOf(copyMode_)));
    // What the drop started (the target's refresh, change reports) runs first.
    QTimer::singleShot(0, this, [this, parentIndex, files, action] {
        if (TTreeNode* refreshed = TTreeNodeModel::NodeOf(parentIndex))
            RefreshNode(refreshed, true, true);
        DoOperation(DragSourceOperation(EffectsOf(action)), files, QString());
    });
}

TTreeNode* TPzShellTree::DropNode() const
{
    return TTreeNodeModel::NodeOf(dropIndex_);
}

void TPzShellTree::ClearDropState()
{
    if (TTreeNode* node = DropNode())
        node->SetDropTarget(false);
    if (dropTarget_)
        static_cast<void>(dropTarget_->DragLeave());  // only ends the drag's state
    dropTarget_.reset();
    dropIndex_ = QPersistentModelIndex();
    lastEffect_ = {};
}

void TPzShellTree::dragEnterEvent(QDragEnterEvent* event)
{
    ClearDropState();
    firstDragOver_ = true;
    dragScroll_.Begin();
    event->acceptProposedAction();
    event->setDropAction(Qt::IgnoreAction);
}

void TPzShellTree::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (ReadOnly()) {
        event->ignore();
        return;
    }
    static_cast<void>(dragScroll_.Step(point));
    TTreeNode* node = NodeAt(point);
    if (node != DropNode()) {
        ClearDropState();
        hoverSince_.restart();
        if (node) {
            dropIndex_ = Nodes().IndexOf(node);
            node->SetDropTarget(true);
            TPzShellTreeItem* item = ShellItem(node);
            IShellFolderPtr folder = item ? item->ParentFolder() : nullptr;
            if (item && !node->Parent())
                folder = item->OwnFolder() ? item->OwnFolder() : item->ParentFolder();
            if (folder) {
                const TItemIdList* items[] = {node->Parent() ? item->Relative() : nullptr};
                std::shared_ptr<IUIObject> object;
                const bool root = !node->Parent();
                if (folder
                        ->GetUIObjectOf(nullptr, root ? std::span<const TItemIdList* const>() : std::span(items),
                                        TUIObjectKind::DropTarget, object)
                        .Succeeded())
                    dropTarget_ = std::dynamic_pointer_cast<IDropTarget>(object);
            }
            if (dropTarget_) {
                TDropEffects effect = EffectsOf(event->possibleActions()) & DropEffectsOf(copyMode_);
                if (dropTarget_
                        ->DragEnter(*event->mimeData(), KeyStateOf(event->buttons(), event->modifiers()),
                                    viewport()->mapToGlobal(point), effect)
                        .Failed())
                    dropTarget_.reset();
            }
        }
    } else if (node && hoverSince_.isValid() && hoverSince_.elapsed() > kHoverExpandMs && !IsExpanded(node)) {
        Expand(node);
    }
    TDropEffects effect;
    if (dropTarget_) {
        effect = EffectsOf(event->possibleActions()) & DropEffectsOf(copyMode_);
        if (dropTarget_
                ->DragOver(KeyStateOf(event->buttons(), event->modifiers()), viewport()->mapToGlobal(point), effect)
                .Failed())
            effect = {};
    }
    lastEffect_ = effect;
    firstDragOver_ = false;
    if (!effect) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

void TPzShellTree::dragLeaveEvent(QDragLeaveEvent* event)
{
    ClearDropState();
    event->accept();
}

void TPzShellTree::dropEvent(QDropEvent* event)
{
    TTreeNode* node = DropNode();
    if (!node || !dropTarget_ || ReadOnly()) {
        ClearDropState();
        event->ignore();
        return;
    }
    bool allow = true;
    if (OnBeforeShellDrop)
        OnBeforeShellDrop(*this, *node, allow);
    if (!allow) {
        ClearDropState();
        event->ignore();
        return;
    }
    const TFileNames files = FilesFromMimeData(event->mimeData());
    TDropEffects effect = EffectsOf(event->possibleActions()) & DropEffectsOf(copyMode_);
    // The drop's file operation turns the event loop for its progress dialog,
    // where change reports may remove the node: it is found again by its index.
    const QString destination = Decoded(GetNodePath(node));
    const QPersistentModelIndex index = dropIndex_;
    IDropTargetPtr target = dropTarget_;
    dropTarget_.reset();
    // A failed drop has told its error (last error, message); what it moved
    // before failing is found below by the source that is gone.
    if (target
            ->Drop(*event->mimeData(), KeyStateOf(event->buttons(), event->modifiers()),
                   viewport()->mapToGlobal(event->position().toPoint()), effect)
            .Failed())
        effect = {};
    ClearDropState();
    if (!effect && !files.IsEmpty()) {
        struct stat st
        {};
        if (::lstat(files.GetBytes(0).c_str(), &st) != 0)
            effect = DROPEFFECT_MOVE;  // the source is gone: it was moved
    }
    if (effect)
        DoOperation(DropOperation(effect), files, destination);
    if (TTreeNode* dropped = TTreeNodeModel::NodeOf(index); dropped && dropped->Count() > 0)
        RefreshNode(dropped, false, true);
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

// --- Check boxes ---------------------------------------------------------------------------

void TPzShellTree::SetCheckBoxes(bool value)
{
    if (value && !link_ && !loading_)
        value = false;  // check states come from the link's selection list
    checkBoxes_ = value;
    if (value) {
        if (!stateImages_)
            stateImages_ = std::make_unique<TPzSelectionStateImageList>();
        SetStateImages(stateImages_.get());
    } else {
        SetStateImages(nullptr);
        stateImages_.reset();
    }
    if (TTreeNode* root = Nodes().FirstRoot())
        RefreshNode(root, true, true);
}

void TPzShellTree::UpdateCheckState(TTreeNode* node)
{
    TPzShellTreeItem* item = ShellItem(node);
    if (!item || !link_)
        return;
    TPzSelectionList& selection = link_->SelectionList();
    if (!node->Parent() && rootedAt_ != SF_FILESYSTEMFOLDER) {
        const std::string path = GetSpecialFolderPath(rootedAt_);
        const bool withPath = !path.empty() && rootedAt_ != SF_DESKTOP;
        if (selection.Count() > 0)
            node->SetStateIndex(withPath ? selection.GetPathState(path) : selPartial);
        else
            node->SetStateIndex(withPath ? selUnchecked : selUnavailable);
        return;
    }
    node->SetStateIndex(selection.GetItemState(item->Absolute()));
}

void TPzShellTree::UpdateCheckStates(TTreeNode* node)
{
    if (!node)
        return;
    UpdateCheckState(node);
    if (IsExpanded(node) || !node->Parent())
        for (int i = 0; i < node->Count(); ++i)
            UpdateCheckStates(node->Item(i));
}

bool TPzShellTree::OnStateIcon(const QPoint& point, TTreeNode** node) const
{
    if (!checkBoxes_ || !StateImages())
        return false;
    THitPart part = THitPart::Nowhere;
    *node = NodeAt(point, &part);
    return *node && part == THitPart::StateIcon;
}

void TPzShellTree::ToggleCheck(TTreeNode* node)
{
    TPzShellTreeItem* item = ShellItem(node);
    if (!item || !link_ || !checkBoxes_)
        return;
    TCursorGuard cursor;
    TPzSelectionList& selection = link_->SelectionList();
    const auto state = TPzSelectionState(node->StateIndex());
    if (state == selUnavailable || state == selNone)
        return;
    if (state == selChecked)
        selection.DeselectItem(item->Absolute());
    else
        selection.SelectItem(item->Absolute());
    for (TTreeNode* walk = node; walk; walk = walk->Parent())
        UpdateCheckState(walk);
    UpdateCheckStates(node);
    if (OnCheckStateChanged)
        OnCheckStateChanged(*this, node->Index(), Decoded(GetNodePath(node)), TPzSelectionState(node->StateIndex()));
}
