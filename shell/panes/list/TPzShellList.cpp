#include "shell/panes/list/TPzShellList.h"

#include "framework/IconTitleFont.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/core/ids/ShellItems.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/library/ComponentVersion.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/panes/PaneClipboard.h"
#include "shell/selection/TPzSelectionList.h"
#include "shell/threads/TWorkerPools.h"

#include <QFile>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdint>

#include <sys/stat.h>

namespace {

// Every change kind but association, attribute, free-space, server, image-list
// and unknown changes: those never change which entries a folder has.
constexpr TNotificationEvents kListEvents = neFileChange | neFileCreate | neFileDelete | neFileRename | neDriveAdd |
                                            neDriveRemove | neShellDriveAdd | neMediaInsert | neMediaRemove |
                                            neFolderCreate | neFolderDelete | neFolderRename | neFolderUpdate |
                                            neNetShare | neNetUnShare;
static_assert(kListEvents.Bits() == 0x3FDFC);

// The arrows at the right of the sorted column's title.
QPixmap ArrowPicture(bool up)
{
    constexpr int kSide = 8;
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x60, 0x60, 0x60));
    const QPolygon triangle = up ? QPolygon({QPoint(0, 6), QPoint(8, 6), QPoint(4, 1)})
                                 : QPolygon({QPoint(0, 2), QPoint(8, 2), QPoint(4, 7)});
    painter.drawPolygon(triangle);
    return picture;
}

struct TRestore
{
    std::function<void()> step;
    ~TRestore() { step(); }
};

}  // namespace

TPzShellList::TPzShellList(QWidget* parent)
    : TListView(parent)
    , browser_(std::make_unique<TShellNavigator>())
    , notifier_(new TPzShellChangeNotifier(this))
    , notice_(new TPzPaneNotice(*this))
{
    browser_->SetShowErrorMessages(false);
    largeImages_.SetSize(si_large);
    SetSmallImages(&smallImages_);
    SetLargeImages(&largeImages_);
    SetSortArrowPictures(ArrowPicture(true), ArrowPicture(false));
    setAccessibleName(QStringLiteral("Dateiliste"));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);

    updateTimer_.setSingleShot(true);
    updateTimer_.setInterval(kUpdateDelayMs);
    connect(&updateTimer_, &QTimer::timeout, this, &TPzShellList::UpdateTimerStep);
    goneTimer_.setSingleShot(true);
    goneTimer_.setInterval(kDeleteBatchMs);
    connect(&goneTimer_, &QTimer::timeout, this, &TPzShellList::RemoveGoneEntries);

    notifier_->SetEnabled(false);
    notifier_->SetRecursive(false);
    notifier_->SetEventFilter(kListEvents);
    notifier_->SetItemHook([this](TPzShellChangeNotifier&, TNotificationEvent event, const TItemIdList* item1,
                                  const TItemIdList*) { NotifierHook(int(event), item1); });
    SetAutomaticRefresh(true);
}

TPzShellList::~TPzShellList()
{
    // No picture or listing may reach a list that is gone; the pools go while the list is still whole.
    CancelThumbnails();
    DropDetails();
    pools_.reset();
    entries_.Listing().Detach();
    busy_ = true;
    updateTimer_.stop();
    if (link_)
        link_->UnregisterControl(this);
    notifier_->SetEnabled(false);
    // The rows go while the folder model they are entries of is still here,
    // which then has none left to let go of.
    entries_.Reset();
    Clear();
}

QString TPzShellList::Version() const
{
    return QStringLiteral("TPzShellList") + QStringLiteral(" V5.4");
}

void TPzShellList::Loaded()
{
    if (!loading_)
        return;
    loading_ = false;
    browser_->Loaded();
    if (Count() == 0 && !NoFillOnStartup()) {
        if (pathStored_) {
            pathStored_ = false;
            SetPath(storedPath_);
        } else {
            FullRefresh();
        }
    }
    if (useSystemFont_)
        SetUseSystemFont(true);
}

// --- Properties --------------------------------------------------------------------------------

void TPzShellList::SetAutomaticRefresh(bool value)
{
    const bool resumed = value && !automaticRefresh_;
    automaticRefresh_ = value;
    if (filling_)
        return;
    notifier_->SetEnabled(value);
    // Nothing told the list of the changes made while it was off.
    if (resumed && !loading_ && !fillPending_)
        RestartUpdateTimer();
}

void TPzShellList::SetDetails(bool value)
{
    if (details_ == value)
        return;
    details_ = value;
    FullRefresh();
}

bool TPzShellList::FileSystemOnly() const
{
    return browser_->FileSystemOnly();
}

void TPzShellList::SetFileSystemOnly(bool value)
{
    browser_->SetFileSystemOnly(value);
    FullRefresh();
}

QString TPzShellList::Filter() const
{
    return browser_->Filter();
}

void TPzShellList::SetFilter(const QString& value)
{
    if (value == browser_->Filter())
        return;
    browser_->SetFilter(value);
    FullRefresh();
}

QString TPzShellList::Path() const
{
    return loading_ ? storedPath_ : browser_->Folder();
}

void TPzShellList::SetPath(const QString& value)
{
    if (loading_) {
        storedPath_ = value;
        pathStored_ = true;
        ClearEntries();
        return;
    }
    // Names compare exactly: file names on Linux are case-sensitive.
    auto trimmed = [](QString path) {
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        return path;
    };
    if (trimmed(value) == trimmed(browser_->Folder()) && Count() > 1)
        return;
    browser_->SetFolder(value);
    NotifyLinkFolder();
    FullRefresh();
}

TPzShellFolder TPzShellList::SpecialFolder() const
{
    const TPzShellFolder special = browser_->SpecialFolder();
    if (special == SF_DRIVES && !browser_->Folder().isEmpty())
        return SF_FILESYSTEMFOLDER;
    return special;
}

void TPzShellList::SetSpecialFolder(TPzShellFolder value)
{
    if (value != SF_FILESYSTEMFOLDER) {
        browser_->SetSpecialFolder(value);
        storedPath_.clear();
        pathStored_ = false;
    }
    NotifyLinkFolder();
    FullRefresh();
}

void TPzShellList::SetShowFolders(bool value)
{
    if (showFolders_ == value)
        return;
    showFolders_ = value;
    FullRefresh();
}

void TPzShellList::SetShowParentFolder(bool value)
{
    if (showParentFolder_ == value)
        return;
    showParentFolder_ = value;
    FullRefresh();
}

void TPzShellList::SetOption(TPzShellOptions::TBit bit, bool value)
{
    if (!options_.Set(bit, value))
        return;
    browser_->SetShowErrorMessages(options_.ShowErrorMessages());
    if (options_.NoFillOnStartup() && loading_)
        return;
    FullRefresh();
}

void TPzShellList::SetUseSystemFont(bool value)
{
    useSystemFont_ = value;
    if (!value)
        return;
    QFont iconTitle = font();
    if (UseIconTitleFont(iconTitle))
        setFont(iconTitle);
}

void TPzShellList::SetOnContextMenuSelect(std::function<void(const QString&, bool&)> handler)
{
    browser_->OnContextMenuSelect = std::move(handler);
}

int TPzShellList::DetailColumnOf(int column) const
{
    return column >= 0 && column < columnCount_ ? columnMap_[std::size_t(column)] : column;
}

void TPzShellList::CompleteItem(TListItem& item)
{
    TPzShellListItem* data = ShellItemOf(&item);
    if (!data)
        return;
    ++completions_;
    if (data->IsParentEntry) {
        if (ThumbnailMode()) {
            CompleteThumbnail(item, *data);
            return;
        }
        if (folderIconIndex_ < 0)
            folderIconIndex_ = GetFolderIconIndex(false);
        item.ImageIndex = folderIconIndex_;
        return;
    }
    browser_->SetObjectIDList(data->Item());
    // The statx bits (compressed, encrypted) stat the item as the details do.
    const std::uint32_t statBits = showOverlayIcons_ ? StatAttributeMask() : 0;
    if (slowDetails_)
        QueueDetails(item, *data, statBits);
    else if (details_ && item.SubItems.isEmpty())
        FillDetails(item);
    if (ThumbnailMode())
        CompleteThumbnail(item, *data);
    else
        item.ImageIndex = std::max(0, browser_->GetIconIndex());
    if (link_ && checkboxes_) {
        const TItemIdListPtr absolute = ConcatIDLists(FolderIdList(), data->Item());
        item.StateIndex = int(link_->SelectionList().GetItemState(absolute.get()));
    }
    if (showOverlayIcons_) {
        item.OverlayIndex = browser_->GetOverlayIndex();
        const std::uint32_t attributes = browser_->GetAttributes(SFGAO_HIDDEN | (slowDetails_ ? 0 : statBits));
        // Hidden items are drawn dimmed, as a cut item is; set without a change report.
        if (attributes & SFGAO_HIDDEN)
            MarkCut(item, true);
        if (!slowDetails_) {
            data->IsCompressed = (attributes & SFGAO_COMPRESSED) != 0;
            data->IsEncrypted = (attributes & SFGAO_ENCRYPTED) != 0;
        }
    }
}

QColor TPzShellList::DoItemTextColor(const TListItem& item) const
{
    const TPzShellListItem* data = ShellItemOf(&item);
    if (!data)
        return {};
    if (ColorCompressed() && data->IsCompressed)
        return QColor(0x00, 0x00, 0xFF);
    if (ColorEncrypted() && data->IsEncrypted)
        return QColor(0x00, 0x80, 0x00);
    return {};
}

void TPzShellList::DoGetImageIndex(TListItem& item)
{
    if (item.ImageIndex < 0)
        CompleteItem(item);
    TListView::DoGetImageIndex(item);
}

// --- Selection names and the link -------------------------------------------------------------------------

const QStringList& TPzShellList::SelectedNames()
{
    if (!selectedNames_)
        selectedNames_.emplace();
    const std::vector<TListItem*> selected = SelectedItems();
    if (selected.empty()) {
        selectedNames_->clear();
    } else if (selectedNames_->isEmpty()) {
        for (TListItem* item : selected) {
            const TPzShellListItem* data = ShellItemOf(item);
            if (!data || data->IsParentEntry)
                continue;
            browser_->SetObjectIDList(data->Item());
            QString name = browser_->ObjectName();
            selectedNames_->push_back(name.isEmpty() ? browser_->GetDisplayName() : name);
        }
    }
    return *selectedNames_;
}

void TPzShellList::SetSelectedNames(const QStringList& names)
{
    // The names are sought in the listing that runs, once it is shown.
    if (filling_ && entries_.ListingPending()) {
        reselectNames_ = names;
        return;
    }
    if (busy_)
        return;
    busy_ = true;
    const TRestore restore{[this] { busy_ = false; }};
    SetSelected(nullptr);
    // A file name parses without a listing; a name that does not (gone, or a
    // display name) is looked for among the entries, never in a new listing.
    std::vector<QString> unparsed;
    for (const QString& name : names) {
        const QByteArray native = QFile::encodeName(name);
        TItemIdListPtr item;
        if (!name.contains(u'/') && native != "." && native != ".." && browser_->FolderInterface())
            item = PathToIDList(browser_->FolderInterface().get(), native.toStdString());
        if (TListItem* found = item && IDListCount(item.get()) == 1 ? FindItemById(item.get()) : nullptr)
            SelectEntry(found);
        else
            unparsed.push_back(name);
    }
    if (!unparsed.empty())
        for (int row = 0; row < Count(); ++row) {
            const TPzShellListItem* data = ShellItemOf(Item(row));
            if (!data || data->IsParentEntry)
                continue;
            browser_->SetObjectIDList(data->Item());
            const QString name = browser_->ObjectName();
            if (std::find(unparsed.begin(), unparsed.end(), name.isEmpty() ? browser_->GetDisplayName() : name) !=
                unparsed.end())
                SelectEntry(Item(row));
        }
    selectedNames_.reset();
}

void TPzShellList::DoChange(TListItem* item, TItemChange change)
{
    if (!busy_) {
        busy_ = true;
        if (selectedNames_)
            selectedNames_->clear();
        busy_ = false;
        const TPzShellListItem* data = ShellItemOf(item);
        if (link_ && item && change != ctText && IsSelected(item) && data && !data->IsParentEntry && !loading_ &&
            SelCount() == 1) {
            const TItemIdListPtr folder = CloneIDList(FolderIdList());
            link_->ChangeFolderAndSelect(this, folder.get(), data->Item());
        }
    }
    TListView::DoChange(item, change);
}

TListItem* TPzShellList::FindItemById(const TItemIdList* item)
{
    const auto* entry = static_cast<const TPzShellListItem*>(entries_.Find(item));
    return entry ? entry->Row : nullptr;
}

void TPzShellList::SelectItemById(const TItemIdList* item)
{
    const bool listing = entries_.ListingPending();
    TListItem* found = fillPending_ || (filling_ && listing) ? nullptr : FindItemById(item);
    if (found)
        SelectEntry(found);
    else if (fillPending_ || listing)
        pendingSelection_ = CloneIDList(item);
}

void TPzShellList::SelectEntry(TListItem* item)
{
    SetItemSelected(item, true);
    SetItemFocused(item);
    MakeVisible(item, false);
}

void TPzShellList::DeleteEntries(const std::vector<TListItem*>& items)
{
    // Each entry leaves the folder's model with its row.
    for (const TListItem* item : items)
        if (item == dropItem_)
            dropItem_ = nullptr;
    DeleteItems(items);
}

void TPzShellList::ClearEntries()
{
    goneTimer_.stop();
    goneKeys_.clear();
    entries_.Reset();
    dropItem_ = nullptr;
    DropDetails();
    Clear();
}

const TItemIdList* TPzShellList::FolderIdList()
{
    if (!folderIdList_)
        folderIdList_ = browser_->GetFolderIDList();
    return folderIdList_.get();
}

std::string TPzShellList::FolderPathBytes() const
{
    return browser_->FolderPath();
}

QString TPzShellList::GetItemPath(TListItem* item)
{
    TPzShellListItem* data = ShellItemOf(item);
    if (!data)
        return {};
    if (data->PathCache.isEmpty() && data->Item()) {
        const TItemIdListPtr absolute = ConcatIDLists(FolderIdList(), data->Item());
        data->PathCache = QFile::decodeName(QByteArray::fromStdString(GetPathFromIDList(absolute.get())));
    }
    return data->PathCache;
}

void TPzShellList::NotifyLinkFolder()
{
    SetSelected(nullptr);
    if (link_ && !loading_) {
        folderIdList_.reset();
        const TItemIdListPtr folder = browser_->GetFolderIDList();
        link_->ChangeFolder(this, folder.get());
    }
}

// --- Navigation and commands ------------------------------------------------------------------------------

void TPzShellList::SetShellLink(TPzShellLink* link)
{
    if (link_ == link)
        return;
    if (link_)
        link_->UnregisterControl(this);
    link_ = link;
    if (link_)
        link_->RegisterControl(this);
}

void TPzShellList::ChangeFolder(const TItemIdList* absolute)
{
    if (!absolute)
        return;
    // A hand-over of the link (another pane's selection) to the folder shown
    // changes the selection only: the notifier keeps the entries current.
    if (automaticRefresh_ && ShowsFolder(absolute)) {
        SetSelected(nullptr);
        return;
    }
    try {
        browser_->SetFolderIDList(absolute);
        SetSelected(nullptr);
        pendingSelection_.reset();
        // A pane on a tab not shown lists its folder when it is shown.
        if (!loading_ && !isVisible() && window() != this && window()->isVisible()) {
            DropListing();
            ClearEntries();
            folderIdList_.reset();
            fillPending_ = true;
            pendingSelection_.reset();
            return;
        }
        FullRefresh();
    } catch (const std::exception&) {
        DropListing();
        ClearEntries();
    }
}

void TPzShellList::showEvent(QShowEvent* event)
{
    TListView::showEvent(event);
    if (fillPending_)
        FullRefresh();
}

bool TPzShellList::ShowsFolder(const TItemIdList* absolute) const
{
    if (loading_ || filling_ || !folderIdList_ || !notice_->Shown().isEmpty())
        return false;
    const TItemIdListPtr browsed = browser_->GetFolderIDList();
    return IDListsEqual(folderIdList_.get(), absolute) && IDListsEqual(browsed.get(), absolute);
}

void TPzShellList::ChangeFolderAndSelect(const TItemIdList* folder, const TItemIdList* item)
{
    ChangeFolder(folder);
    SelectItemById(item);
}

void TPzShellList::SelectAll()
{
    {
        const TUpdateGuard update(*this);
        const TPzShellListItem* first = ShellItemOf(Item(0));
        SelectRange(first && first->IsParentEntry ? 1 : 0, Count() - 1);
    }
    setFocus();
}

bool TPzShellList::GoUp()
{
    browser_->GoToParent();
    NotifyLinkFolder();
    FullRefresh();
    return true;
}

bool TPzShellList::ExecuteCommand(const QString& verb)
{
    const int selCount = SelCount();
    if (selCount == 0)
        return false;
    TListItem* selected = Selected();
    const TPzShellListItem* selectedData = ShellItemOf(selected);
    const QString upper = verb.toUpper();
    if (selCount == 1 && selectedData && selectedData->IsParentEntry) {
        if (upper == QLatin1String("DEFAULT"))
            GoUp();
        return true;
    }
    if (ReadOnly())
        browser_->OnRename = nullptr;
    else
        browser_->OnRename = [this](TShellNavigator&) { EditCaption(Selected()); };
    TFileNames files;
    if (upper == QLatin1String("DELETE")) {
        files = SelectedPaths();
    } else if (upper == QLatin1String("PASTE")) {
        files = ClipboardFileNames();
    }
    bool result = false;
    if (selCount == 1) {
        browser_->SetObjectIDList(selectedData ? selectedData->Item() : nullptr);
        if (upper != QLatin1String("DEFAULT") && upper != QLatin1String("OPEN")) {
            result = browser_->InvokeCommand(verb);
        } else {
            const std::string target = browser_->GetLinkTarget();
            if (browser_->IsFolder()) {
                if (!browser_->OpenObjectAsFolder())
                    return false;
                NotifyLinkFolder();
                FullRefresh();
                return true;
            }
            struct stat info
            {};
            if (!target.empty() && ::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                browser_->SetFolderPath(target);
                NotifyLinkFolder();
                FullRefresh();
                return true;
            }
            result = browser_->InvokeCommand(upper == QLatin1String("DEFAULT") ? QString() : verb);
        }
    } else {
        browser_->SetCommandObjects(SelectedItemIds());
        result = browser_->InvokeCommand(upper == QLatin1String("DEFAULT") ? QString() : verb);
    }
    if (result) {
        if (upper == QLatin1String("DELETE")) {
            ReportOperation(kDeleteOperation, files, QString());
            if (!automaticRefresh_)
                RestartUpdateTimer();
        } else if (upper == QLatin1String("PASTE")) {
            ReportOperation(PasteOperation(files), files, browser_->Folder());
        } else if (upper == QLatin1String("CUT")) {
            MarkSelectedCut();
        }
    }
    return result;
}

TFileNames TPzShellList::SelectedPaths()
{
    TFileNames paths;
    const std::string folder = FolderPathBytes();
    for (TListItem* item : SelectedItems()) {
        const TPzShellListItem* data = ShellItemOf(item);
        if (!data || data->IsParentEntry)
            continue;
        browser_->SetObjectIDList(data->Item());
        paths.Add(folder.empty() ? browser_->ObjectNameBytes() : JoinPath(folder, browser_->ObjectNameBytes()));
    }
    return paths;
}

void TPzShellList::MarkSelectedCut()
{
    for (TListItem* item : SelectedItems())
        SetCut(item, true);
}
