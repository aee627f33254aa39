// The file list's updates on change notification, its keys and mouse, in-place
// rename, check boxes and background picture.
#include "shell/panes/list/TPzShellList.h"

#include "framework/MessageBox.h"
#include "framework/PlainText.h"
#include "framework/TCursorGuard.h"
#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellItems.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/selection/TPzSelectionList.h"
#include "shell/selection/TPzSelectionStateImageList.h"

#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <sys/stat.h>

namespace {

// Whether `path` is `folder` or lies inside it (native bytes; folder may end in "/").
bool IsAtOrAbove(const std::string& path, std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (path.empty() || folder.empty())
        return false;
    return folder == path || (folder.size() > path.size() && folder.compare(0, path.size(), path) == 0 &&
                              (path.back() == '/' || folder[path.size()] == '/'));
}

}  // namespace

// --- Change notification ---------------------------------------------------------------------------

void TPzShellList::NotifierHook(int event, const TItemIdList* item1)
{
    // While a fill waits for the pane to be shown, events tell of the folder before.
    if (busy_ || fillPending_)
        return;
    switch (TNotificationEvent(event)) {
    case neFileDelete:
    case neFolderDelete: {
        // The shown folder itself (or a folder above it) went away: the timer
        // step finds out and moves the panes to the computer.
        if (IsAtOrAbove(GetPathFromIDList(item1), FolderPathBytes())) {
            RestartUpdateTimer();
            return;
        }
        // Deletes come in bursts (a folder emptied outside): their entries
        // leave together, in one update.
        std::string key = TPzFolderEntries::Key(LastIDListItem(item1));
        // A link to a folder is listed as a folder, but its delete is
        // reported as one of a file; no name is both in one folder.
        if (!entries_.FindByKey(key) && key.size() > 1 && key[0] == char(TItemKind::FileSystem))
            key[1] = key[1] == 'd' ? 'f' : 'd';
        if (entries_.FindByKey(key)) {
            goneKeys_.push_back(std::move(key));
            goneTimer_.start();
        }
        return;
    }
    case neDriveRemove:
    case neMediaRemove:
    case neNetShare:
    case neNetUnShare:
        updateTimer_.stop();
        FullRefresh();
        return;
    case neFileChange:
        // An item that changed keeps its entry, whose details are fetched anew.
        if (TListItem* found = FindItemById(LastIDListItem(item1))) {
            found->SubItems.clear();
            found->ImageIndex = -1;
            MarkIncomplete(*found);
            UpdateItem(found);
        }
        RestartUpdateTimer();
        return;
    default: RestartUpdateTimer(); return;
    }
}

void TPzShellList::RemoveGoneEntries()
{
    goneTimer_.stop();
    std::vector<TListItem*> gone;
    gone.reserve(goneKeys_.size());
    for (const std::string& key : goneKeys_)
        if (const auto* entry = static_cast<const TPzShellListItem*>(entries_.FindByKey(key)))
            gone.push_back(entry->Row);
    goneKeys_.clear();
    if (gone.empty())
        return;
    std::vector<int> rows;
    rows.reserve(gone.size());
    for (const TListItem* item : gone)
        rows.push_back(item->Index());
    std::sort(rows.begin(), rows.end());
    int runs = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        runs += i == 0 || rows[i] > rows[i - 1] + 1;
    if (runs <= kRemovalRunLimit) {
        DeleteEntries(gone);
        return;
    }
    // Scattered entries: one reset, after which the selection, the focus and
    // the first row shown come back.
    std::vector<TListItem*> selected = SelectedItems();
    TListItem* focused = ItemFocused();
    TListItem* top = TopItem();
    std::sort(gone.begin(), gone.end());
    const auto isGone = [&](const TListItem* item) { return std::binary_search(gone.begin(), gone.end(), item); };
    std::erase_if(selected, isGone);
    if (isGone(focused))
        focused = nullptr;
    while (top && isGone(top))
        top = top->Index() + 1 < Count() ? Item(top->Index() + 1) : nullptr;
    {
        const TUpdateGuard update(*this);
        DeleteEntries(gone);
    }
    busy_ = true;
    for (TListItem* item : selected)
        SetItemSelected(item, true);
    if (focused)
        SetItemFocused(focused);
    busy_ = false;
    if (top)
        scrollTo(Model().index(top->Index(), 0), QAbstractItemView::PositionAtTop);
    selectedNames_.reset();
}

void TPzShellList::RestartUpdateTimer()
{
    updateTimer_.stop();
    updateTimer_.start();
}

void TPzShellList::UpdateTimerStep()
{
    updateTimer_.stop();
    const std::string path = FolderPathBytes();
    std::string withoutSlash = path;
    while (withoutSlash.size() > 1 && withoutSlash.back() == '/')
        withoutSlash.pop_back();
    struct stat info
    {};
    const bool isDirectory = !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    const bool isFile = !withoutSlash.empty() && ::stat(withoutSlash.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    if (SpecialFolder() != SF_FILESYSTEMFOLDER || path.empty() || isDirectory || isFile)
        RefreshContents();
    else
        SetSpecialFolder(SF_DRIVES);
}

void TPzShellList::RefreshContents()
{
    if (loading_ || !isEnabled() || filling_ || fillPending_)
        return;
    if (Count() > kIncrementalLimit) {
        if (!IsEditing())
            FullRefresh();
        return;
    }
    const TItemIdListPtr folder = browser_->GetFolderIDList();
    if (!entries_.Listing().Start(*browser_, folder.get(), options_,
                                  [this](TPzFolderListing::TResult& result) { ApplyContents(result); }))
        ShowListingRuns(false);
}

void TPzShellList::ApplyContents(TPzFolderListing::TResult& result)
{
    viewport()->unsetCursor();
    const TPzFolderEntries::TChange answer = entries_.Merge(result, browser_->FolderInterface());
    {
        const TUpdateGuard update(*this);
        for (std::size_t n = 0; n < result.Items.size(); ++n) {
            browser_->SetObjectIDList(result.Items[n].get());
            if (auto* held = static_cast<TPzShellListItem*>(answer.Listed[n]))
                RenewThumbnailIfChanged(*held->Row);
            else
                AddBrowserItem(details_, true);
        }
    }
    if (const TItemIdListPtr pending = std::move(pendingSelection_))
        SelectItemById(pending.get());
    if (!answer.Completed()) {
        notice_->ShowListingFailure(answer.Error);
        return;
    }
    notice_->Withdraw();
    if (link_ && checkboxes_)
        for (int row = 0; row < Count(); ++row) {
            TListItem* item = Item(row);
            const TPzShellListItem* data = ShellItemOf(item);
            if (!data || data->IsParentEntry || item->ImageIndex < 0)
                continue;
            const TItemIdListPtr absolute = ConcatIDLists(FolderIdList(), data->Item());
            const int state = int(link_->SelectionList().GetItemState(absolute.get()));
            if (state != item->StateIndex) {
                item->StateIndex = state;
                UpdateItem(item);
            }
        }
    std::vector<TListItem*> gone;
    gone.reserve(answer.Gone.size());
    TFileNames cutPaths;
    const std::string folder = FolderPathBytes();
    for (TPzFolderEntries::TEntry* entry : answer.Gone) {
        TListItem* item = static_cast<TPzShellListItem*>(entry)->Row;
        if (item->Cut()) {
            browser_->SetObjectIDList(ShellItemOf(item)->Item());
            const std::string name = browser_->ObjectNameBytes();
            cutPaths.Add(folder.empty() ? name : JoinPath(folder, name));
        }
        gone.push_back(item);
    }
    DeleteEntries(gone);
    if (!cutPaths.IsEmpty())
        ReportOperation(kCutItemsGoneOperation, cutPaths, QString());
}

// --- Keys and mouse -----------------------------------------------------------------------------------------

void TPzShellList::DoKeyDown(QKeyEvent& event, bool& handled)
{
    TListView::DoKeyDown(event, handled);
    if (handled || IsEditing())
        return;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    // A command reports its own failure (the browser's message, the last error); a key has nothing to add.
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        static_cast<void>(
            ExecuteCommand(modifiers & Qt::AltModifier ? QStringLiteral("properties") : QStringLiteral("default")));
        handled = true;
        return;
    case Qt::Key_Space:
        if (link_ && checkboxes_) {
            ToggleCheckbox(Selected());
            handled = true;
        }
        return;
    case Qt::Key_Delete:
        if (!ReadOnly()) {
            static_cast<void>(ExecuteCommand(QStringLiteral("delete")));
            handled = true;
        }
        return;
    case Qt::Key_A:
        if (ctrl) {
            SelectAll();
            handled = true;
        }
        return;
    case Qt::Key_C:
        if (ctrl) {
            static_cast<void>(ExecuteCommand(QStringLiteral("copy")));
            handled = true;
        }
        return;
    case Qt::Key_V:
        if (ctrl && !ReadOnly()) {
            static_cast<void>(PasteIntoFolder(QStringLiteral("paste")));
            handled = true;
        }
        return;
    case Qt::Key_X:
        if (ctrl && !ReadOnly()) {
            static_cast<void>(ExecuteCommand(QStringLiteral("cut")));
            handled = true;
        }
        return;
    case Qt::Key_F2:
        if (Selected()) {
            static_cast<void>(ExecuteCommand(QStringLiteral("rename")));
            handled = true;
        }
        return;
    case Qt::Key_F5:
        FullRefresh();
        if (link_)
            link_->FullRefresh(this);
        handled = true;
        return;
    case Qt::Key_F10:
        if (modifiers == Qt::ShiftModifier && shellContextMenu_ && Selected()) {
            const QRect bounds = DisplayRect(Selected(), drSelectBounds);
            PopupShellContextMenu(viewport()->mapToGlobal(bounds.bottomRight()));
            handled = true;
        }
        return;
    default: return;
    }
}

void TPzShellList::DoKeyPress(QChar& key)
{
    TListView::DoKeyPress(key);
    if (IsEditing() || key != QLatin1Char('\b'))
        return;
    if (!link_ || link_->ParentNavigation())
        GoUp();
    key = QChar();
}

void TPzShellList::DoDblClick(const QPoint& point)
{
    if (OnDblClick) {
        TListView::DoDblClick(point);
        return;
    }
    TListItem* item = GetItemAt(point);
    if (item && item == Selected())
        static_cast<void>(ExecuteCommand(QStringLiteral("default")));  // reports its own failure
}

void TPzShellList::mousePressEvent(QMouseEvent* event)
{
    TListView::mousePressEvent(event);
    if (!checkboxes_ || !link_ || event->button() != Qt::LeftButton || !stateImageList_)
        return;
    const QPoint point = event->position().toPoint();
    TListItem* item = GetItemAt(point);
    if (!item)
        return;
    const QRect icon = DisplayRect(item, drIcon);
    if (point.x() < icon.left() + stateImageList_->Width() && point.y() >= icon.top() - stateImageList_->Height())
        ToggleCheckbox(item);
}

void TPzShellList::enterEvent(QEnterEvent* event)
{
    TListView::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TPzShellList::leaveEvent(QEvent* event)
{
    TListView::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

bool TPzShellList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        TListItem* item = GetItemAt(help->pos());
        const TPzShellListItem* data = ShellItemOf(item);
        if (!data || data->IsParentEntry) {
            QToolTip::hideText();
            return true;
        }
        browser_->SetObjectIDList(data->Item());
        const QString tip = browser_->GetInfoTip(true);
        const QRect bounds = DisplayRect(item, drBounds);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), PlainToolTip(tip), viewport(), bounds);
        return true;
    }
    return TListView::viewportEvent(event);
}

// --- Rename -------------------------------------------------------------------------------------------------

bool TPzShellList::DoCanEdit(TListItem& item)
{
    const TPzShellListItem* data = ShellItemOf(&item);
    if (!TListView::DoCanEdit(item) || !data || data->IsParentEntry)
        return false;
    browser_->SetObjectIDList(data->Item());
    return browser_->CanRename();
}

bool TPzShellList::DoEdited(TListItem& item, QString& text)
{
    TPzShellListItem* data = ShellItemOf(&item);
    if (!data || data->IsParentEntry)
        return false;
    const QString oldPath = GetItemPath(&item);
    browser_->SetObjectIDList(data->Item());
    QString newName = text;
    if (!browser_->RenameObject(newName)) {
        // With the shell's own messages off, the user still learns why the name stayed.
        if (!ShowErrorMessages()) {
            TMessageRequest request;
            request.Owner = this;
            request.Caption = QStringLiteral("Fehler");
            request.Icon = TMessageIcon::Error;
            request.Text = QStringLiteral("„%1“ kann nicht in „%2“ umbenannt werden:\n%3")
                               .arg(item.Caption, text, QString::fromStdString(GetSystemErrorText(GetLastError())));
            ShowMessageBox(request);
        }
        return false;
    }
    data->PathCache.clear();
    data->SetItem(browser_->GetObjectIDList());
    text = newName;
    TFileNames oldPaths;
    oldPaths.Add(oldPath);
    item.Caption = newName;
    ReportOperation(opRename, oldPaths, GetItemPath(&item));
    if (ViewStyle() == vsIcon)
        QMetaObject::invokeMethod(
            this, [this] { FullRefresh(); }, Qt::QueuedConnection);
    return true;
}

// --- Check boxes --------------------------------------------------------------------------------------------

void TPzShellList::SetCheckboxes(bool value)
{
    if (value && !link_)
        value = false;
    if (checkboxes_ == value)
        return;
    checkboxes_ = value;
    if (value && !stateImageList_)
        stateImageList_ = std::make_unique<TPzSelectionStateImageList>();
    SetStateImages(value ? stateImageList_.get() : nullptr);
    if (!value)
        stateImageList_.reset();
    FullRefresh();
}

void TPzShellList::ToggleCheckbox(TListItem* item)
{
    const TPzShellListItem* data = ShellItemOf(item);
    if (!item || !data || data->IsParentEntry || !link_ || item->StateIndex == int(selUnavailable))
        return;
    const TCursorGuard hourglass;
    TPzSelectionList& selection = link_->SelectionList();
    const TItemIdListPtr absolute = ConcatIDLists(FolderIdList(), data->Item());
    selection.BeginChange();
    if (item->StateIndex == int(selChecked))
        selection.DeselectItem(absolute.get());
    else
        selection.SelectItem(absolute.get());
    item->StateIndex = int(selection.GetItemState(absolute.get()));
    const bool filling = filling_;
    filling_ = true;
    selection.EndChange();
    filling_ = filling;
    UpdateItem(item);
    if (OnCheckStateChanged)
        OnCheckStateChanged(*this, item->Index(), GetItemPath(item), item->StateIndex);
}

// --- Background picture -------------------------------------------------------------------------------------

void TPzShellList::SetBackgroundImage(const QPixmap& picture)
{
    backgroundImage_ = picture;
    viewport()->setAutoFillBackground(picture.isNull());
    viewport()->update();
}

void TPzShellList::SetBackgroundImageStyle(TPzBackgroundImageStyle style)
{
    backgroundImageStyle_ = style;
    viewport()->update();
}

void TPzShellList::paintEvent(QPaintEvent* event)
{
    if (!backgroundImage_.isNull()) {
        QPainter painter(viewport());
        const QRect area = viewport()->rect();
        switch (backgroundImageStyle_) {
        case bisLeftTop: painter.drawPixmap(0, 0, backgroundImage_); break;
        case bisRightBottom:
            painter.drawPixmap(area.right() + 1 - backgroundImage_.width(),
                               area.bottom() + 1 - backgroundImage_.height(), backgroundImage_);
            break;
        case bisTiled: painter.drawTiledPixmap(area, backgroundImage_); break;
        }
    }
    TListView::paintEvent(event);
}
