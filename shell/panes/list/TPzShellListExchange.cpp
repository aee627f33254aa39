// The file list's context menus, clipboard commands, operation reports and
// drag-and-drop.
#include "shell/panes/list/TPzShellList.h"

#include "platform/core/ids/ShellConstants.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/exchange/DropEffects.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/functions/DroppedFiles.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/PaneClipboard.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

#include <span>

#include <sys/stat.h>

namespace {

IDropTargetPtr FolderDropTarget(const IShellFolderPtr& folder, QWidget* owner,
                                std::span<const TItemIdList* const> items = {})
{
    IUIObjectPtr object;
    if (!folder || folder->GetUIObjectOf(owner, items, TUIObjectKind::DropTarget, object).Failed())
        return nullptr;
    return std::dynamic_pointer_cast<IDropTarget>(object);
}

}  // namespace

// --- Context menus ------------------------------------------------------------------------------------

std::vector<const TItemIdList*> TPzShellList::SelectedItemIds() const
{
    std::vector<const TItemIdList*> ids;
    for (TListItem* item : SelectedItems()) {
        const TPzShellListItem* data = ShellItemOf(item);
        if (data && !data->IsParentEntry && data->Item())
            ids.push_back(data->Item());
    }
    return ids;
}

void TPzShellList::DoContextMenu(const QPoint& screenPoint, bool fromKeyboard)
{
    TListItem* item = nullptr;
    QPoint point = screenPoint;
    if (fromKeyboard) {
        item = Selected();
        point = item ? viewport()->mapToGlobal(DisplayRect(item, drSelectBounds).bottomRight())
                     : viewport()->mapToGlobal(QPoint(1, 1));
    } else {
        item = GetItemAt(viewport()->mapFromGlobal(screenPoint));
    }
    if (!item) {
        if (backgroundPopupMenu_)
            backgroundPopupMenu_->popup(point);
    } else if (shellContextMenu_) {
        PopupShellContextMenu(point);
    } else if (popupMenu_) {
        popupMenu_->popup(point);
    }
}

QString TPzShellList::PopupShellContextMenu(const QPoint& screenPoint)
{
    TListItem* selected = Selected();
    if (!selected)
        return {};
    // The entries go to the command by their ids: names need not be unique (the trash).
    const std::vector<const TItemIdList*> ids = SelectedItemIds();
    if (ids.empty())
        return {};
    if (ReadOnly())
        browser_->OnRename = nullptr;
    else
        browser_->OnRename = [this](TShellNavigator&) { EditCaption(Selected()); };
    const TFileNames clipboard = ClipboardFileNames();
    const TPzShellListItem* data = ShellItemOf(selected);
    const TFileNames paths = data && data->IsParentEntry ? TFileNames() : SelectedPaths();
    const QString caption = selected->Caption;
    browser_->SetCommandObjects(ids);
    browser_->SetRestricted(ReadOnly());
    browser_->SetShowContextMenuOnTop(ShowContextMenuOnTop());
    QString verb;
    try {
        verb = browser_->ShowContextMenu(screenPoint, popupMenu_);
    } catch (const EShellNavigatorError&) {
        RefreshContents();
        return {};
    }
    const QString lower = verb.toLower();
    if (lower == QLatin1String("delete")) {
        ReportOperation(kDeleteOperation, paths, QString());
    } else if (lower == QLatin1String("undelete")) {
        RestartUpdateTimer();
    } else if (lower == QLatin1String("paste")) {
        ReportOperation(PasteOperation(clipboard), clipboard, browser_->Folder() + caption);
    } else if (lower == QLatin1String("cut")) {
        MarkSelectedCut();
    }
    return verb;
}

bool TPzShellList::PasteIntoFolder(const QString& verb)
{
    const bool paste = verb.compare(QLatin1String("paste"), Qt::CaseInsensitive) == 0;
    const TFileNames clipboard = paste ? ClipboardFileNames() : TFileNames();
    bool result = false;
    try {
        TShellNavigator folder;
        folder.SetShowErrorMessages(ShowErrorMessages());
        folder.SetFolderIDList(FolderIdList());
        folder.GoToParent();
        result = folder.InvokeCommand(verb);
    } catch (const EShellNavigatorError&) {
        result = false;
    }
    if (result && paste && !clipboard.IsEmpty())
        ReportOperation(PasteOperation(clipboard), clipboard, browser_->Folder());
    RestartUpdateTimer();
    return result;
}

void TPzShellList::ReportOperation(TPzShellOperations operation, const TFileNames& files, const QString& destination)
{
    if (operation & opRemoveSelected) {
        const TUpdateGuard update(*this);
        DeleteEntries(SelectedItems());
    }
    if (!files.IsEmpty() && OnOperation)
        OnOperation(this, operation, files, destination);
    if ((operation & kItemsChangedMask) && link_)
        link_->RefreshContents(this);
}

// --- Drag source ----------------------------------------------------------------------------------------

void TPzShellList::DoBeginDrag(Qt::MouseButton button)
{
    if (oleDragDrop_ && Selected())
        BeginShellDrag(button);
}

void TPzShellList::BeginShellDrag(Qt::MouseButton button)
{
    // Sized to the selection: every selected entry takes part, however many.
    std::vector<const TItemIdList*> ids;
    for (TListItem* item : SelectedItems())
        if (const TPzShellListItem* data = ShellItemOf(item); data && !data->IsParentEntry)
            ids.push_back(data->Item());
    const IShellFolderPtr folder = browser_->FolderInterface();
    if (ids.empty() || !folder)
        return;
    std::uint32_t attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (folder->GetAttributesOf(ids, attributes).Failed())
        attributes = 0;
    // The capability bits are the bits of the effects they allow.
    const TDropEffects allowed = DropEffectsOf(copyMode_) & TDropEffects::fromInt(attributes);
    dragButton_ = button;
    struct TDragEnd
    {
        Qt::MouseButton& button;
        ~TDragEnd() { button = Qt::NoButton; }
    } dragEnd{dragButton_};
    IUIObjectPtr object;
    if (folder->GetUIObjectOf(this, ids, TUIObjectKind::DataObject, object).Failed())
        return;
    const auto dataObject = std::dynamic_pointer_cast<IDataObject>(object);
    if (!dataObject || !allowed)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(dataObject->CreateMimeData(false).release());
    const Qt::DropActions actions = DropActionsOf(allowed);
    const Qt::DropAction preferred = actions & Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction;
    const TDropEffects effect = EffectsOf(drag->exec(actions, preferred));
    if (const TPzShellOperations operation = DragSourceOperation(effect)) {
        TFileNames files;
        for (const std::string& path : dataObject->FileNames())
            files.Add(path);
        ReportOperation(operation, files, QString());
    }
}

// --- Drop target ----------------------------------------------------------------------------------------

void TPzShellList::SetOleDragDrop(bool value)
{
    oleDragDrop_ = value;
    setAcceptDrops(value);
    viewport()->setAcceptDrops(value);
}

IDropTargetPtr TPzShellList::GetDropTargetFor(const TListItem* item)
{
    const TPzShellListItem* data = ShellItemOf(item);
    try {
        if (data && data->IsParentEntry) {
            TShellNavigator parent;
            parent.SetShowErrorMessages(false);
            parent.SetFolderIDList(FolderIdList());
            // The parent's parent holds the parent folder as its object.
            parent.GoToParent();
            parent.GoToParent();
            const TItemIdList* object = parent.ObjectIDList();
            return FolderDropTarget(parent.FolderInterface(), this, std::span<const TItemIdList* const>(&object, 1));
        }
        if (data) {
            const TItemIdList* id = data->Item();
            return FolderDropTarget(browser_->FolderInterface(), this, std::span<const TItemIdList* const>(&id, 1));
        }
        if (SpecialFolder() == SF_DESKTOP) {
            TShellNavigator desktop;
            desktop.SetShowErrorMessages(false);
            const TItemIdListPtr directory = GetSpecialFolderIDList(SF_DESKTOPDIRECTORY);
            if (!directory)
                return nullptr;
            desktop.SetFolderIDList(directory.get());
            return FolderDropTarget(desktop.FolderInterface(), this);
        }
        return FolderDropTarget(browser_->FolderInterface(), this);
    } catch (const EShellNavigatorError&) {
        return nullptr;
    }
}

void TPzShellList::dragEnterEvent(QDragEnterEvent* event)
{
    dragData_ = std::make_unique<QMimeData>();
    for (const QString& format : event->mimeData()->formats())
        dragData_->setData(format, event->mimeData()->data(format));
    folderDropTarget_ = GetDropTargetFor(nullptr);
    lastKeyState_ = KeyStateOf(event->buttons(), event->modifiers());
    TDropEffects effect = EffectsOf(event->possibleActions());
    const QPoint screen = viewport()->mapToGlobal(event->position().toPoint());
    if (!folderDropTarget_ || folderDropTarget_->DragEnter(*dragData_, lastKeyState_, screen, effect).Failed())
        effect = {};
    dragScroll_.Begin();
    event->setDropAction(effect ? DropActionOf(effect) : Qt::IgnoreAction);
    event->accept();
}

void TPzShellList::dragMoveEvent(QDragMoveEvent* event)
{
    TDropEffects effect = EffectsOf(event->possibleActions());
    if (ReadOnly() || !dragData_) {
        event->ignore();
        return;
    }
    const QPoint client = event->position().toPoint();
    const QPoint screen = viewport()->mapToGlobal(client);
    lastKeyState_ = KeyStateOf(event->buttons(), event->modifiers());
    TListItem* item = GetItemAt(client);
    if (item != dropItem_) {
        if (dropItem_)
            SetDropHighlighted(dropItem_, false);
        if (itemDropTarget_)
            static_cast<void>(itemDropTarget_->DragLeave());  // only ends the drag's state
        itemDropTarget_.reset();
        dropItem_ = item;
        if (item) {
            itemDropTarget_ = GetDropTargetFor(item);
            TDropEffects enterEffect = effect;
            if (itemDropTarget_ &&
                itemDropTarget_->DragEnter(*dragData_, lastKeyState_, screen, enterEffect).Succeeded())
                SetDropHighlighted(item, true);
            else
                dropItem_ = nullptr, itemDropTarget_.reset();
        }
        viewport()->repaint();
    }
    static_cast<void>(dragScroll_.Step(client));
    if (dropItem_ && itemDropTarget_) {
        if (itemDropTarget_->DragOver(lastKeyState_, screen, effect).Failed())
            effect = {};
    } else if (folderDropTarget_ && (dragButton_ == Qt::NoButton || (lastKeyState_ & MK_RBUTTON))) {
        if (folderDropTarget_->DragOver(lastKeyState_, screen, effect).Failed())
            effect = {};
    } else {
        // The list's own items cannot be dropped into their own folder with the left button.
        effect = {};
    }
    if (!effect) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

void TPzShellList::DropCleanup()
{
    if (dropItem_)
        SetDropHighlighted(dropItem_, false);
    if (itemDropTarget_)
        static_cast<void>(itemDropTarget_->DragLeave());  // only ends the drag's state
    if (folderDropTarget_)
        static_cast<void>(folderDropTarget_->DragLeave());
    dragData_.reset();
    itemDropTarget_.reset();
    folderDropTarget_.reset();
    dropItem_ = nullptr;
    lastKeyState_ = 0;
}

void TPzShellList::dragLeaveEvent(QDragLeaveEvent* event)
{
    DropCleanup();
    event->accept();
}

void TPzShellList::dropEvent(QDropEvent* event)
{
    if (!dragData_) {
        event->ignore();
        return;
    }
    const TFileNames files = FilesFromMimeData(dragData_.get());
    bool executeDrop = true;
    TDropEffects effect = DropEffectsOf(copyMode_) & EffectsOf(event->possibleActions());
    const QPoint screen = viewport()->mapToGlobal(event->position().toPoint());
    const IDropTargetPtr target = dropItem_ && itemDropTarget_ ? itemDropTarget_ : folderDropTarget_;
    const QString destination = browser_->Folder() + (dropItem_ && itemDropTarget_ ? dropItem_->Caption : QString());
    bool succeeded = false;
    if (target) {
        if (OnBeforeShellDrop)
            OnBeforeShellDrop(*this, dropItem_, files, executeDrop, lastKeyState_);
        if (executeDrop)
            succeeded = target->Drop(*dragData_, lastKeyState_, screen, effect).Succeeded();
    }
    if (succeeded && executeDrop) {
        if (!effect && !files.IsEmpty()) {
            // Some sources report a finished move as no effect: the first file is gone.
            struct stat info
            {};
            if (::lstat(files.GetBytes(0).c_str(), &info) != 0)
                effect = DROPEFFECT_MOVE;
        }
        if (effect)
            ReportOperation(DropOperation(effect), files, destination);
    }
    DropCleanup();
    if (succeeded && effect) {
        event->setDropAction(DropActionOf(effect));
        event->accept();
    } else {
        event->ignore();
    }
}
