// The file list's fill: the listing of its folder on a worker, the entries
// and columns made from it, and what waits for it.
#include "shell/panes/list/TPzShellList.h"

#include "framework/TCursorGuard.h"
#include "platform/core/ids/ShellConstants.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellNames.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/notifier/TPzShellChangeNotifier.h"
#include "shell/panes/TPzFolderListing.h"
#include "shell/panes/TPzPaneNotice.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThreadPool.h"
#include "platform/namespace/items/ItemAttributes.h"

#include <algorithm>

namespace {

struct TRestore
{
    std::function<void()> step;
    ~TRestore() { step(); }
};

}  // namespace

// --- Filling ---------------------------------------------------------------------------------------

void TPzShellList::FullRefresh()
{
    if (loading_ || !isEnabled())
        return;
    notifier_->SetEnabled(false);
    CancelThumbnails();
    if (OnBeforeFullRefresh)
        OnBeforeFullRefresh(*this);
    TItemIdListPtr folder = browser_->GetFolderIDList();
    // The same folder asked for again while it is read: its listing goes on.
    if (filling_ && entries_.Listing().Lists(*browser_, folder.get(), options_))
        return;
    // What was to be selected in another folder still being read is not sought here.
    if (filling_ && !IDListsEqual(listingFolder_.get(), folder.get())) {
        reselectNames_.reset();
        pendingSelection_.reset();
    }
    if (!reselectNames_)
        reselectNames_ = SelectedNames();
    filling_ = true;
    // A refill of the folder shown keeps its entries until the listing has
    // ended: one that fails keeps them, since what it missed need not be gone.
    const bool refill = Count() > 0 && folderIdList_ && IDListsEqual(folderIdList_.get(), folder.get());
    listingFolder_ = CloneIDList(folder.get());
    bool shown = false;
    try {
        shown =
            entries_.Listing().Start(*browser_, folder.get(), options_,
                                     [this, refill](TPzFolderListing::TResult& result) { ApplyFill(result, refill); });
    } catch (...) {
        filling_ = false;
        notifier_->SetEnabled(automaticRefresh_);
        throw;
    }
    if (!shown)
        ShowListingRuns(!refill);
}

void TPzShellList::ApplyFill(TPzFolderListing::TResult& result, bool refill)
{
    const TCursorGuard hourglass;
    viewport()->unsetCursor();
    const QStringList names = reselectNames_.value_or(QStringList());
    reselectNames_.reset();
    listingFolder_.reset();
    const TRestore restore{[this] {
        filling_ = false;
        notifier_->SetEnabled(automaticRefresh_);
    }};
    if (refill && result.Error != 0) {
        notice_->ShowListingFailure(result.Error);
        return;
    }
    {
        const TUpdateGuard update(*this);
        ClearEntries();
        folderIdList_ = browser_->GetFolderIDList();
        slowDetails_ = ListsSlowly(FolderPathBytes());
        ClearThumbnails();
        CreateColumns();
        for (TItemIdListPtr& item : result.Items)
            AddListedItem(std::move(item));
        if (showParentFolder_)
            AddParentEntry(QString());
        SortItems();
        UpdateSortArrows();
    }
    // A new folder that fails midway shows what was read, and says so.
    if (result.Error != 0)
        notice_->ShowListingFailure(result.Error);
    else
        notice_->Withdraw();
    selectedNames_.reset();
    SetSelectedNames(names);
    fillPending_ = false;
    if (const TItemIdListPtr pending = std::move(pendingSelection_))
        SelectItemById(pending.get());
    if (SelCount() == 0)
        scrollToTop();
    if (OnPopulated)
        OnPopulated(*this);
    if (OnPathChanged)
        OnPathChanged(*this);
    if (automaticRefresh_)
        notifier_->SetWatchedItem(FolderIdList());
}

bool TPzShellList::ListingPending() const
{
    return entries_.ListingPending();
}

void TPzShellList::ShowListingRuns(bool empty)
{
    if (empty) {
        ClearEntries();
        folderIdList_.reset();
    }
    // Only this pane waits: the window goes on answering.
    viewport()->setCursor(Qt::WaitCursor);
    notice_->ShowReading();
}

void TPzShellList::DropListing()
{
    if (!entries_.ListingPending())
        return;
    entries_.Listing().Cancel();
    viewport()->unsetCursor();
    notice_->Withdraw();
    listingFolder_.reset();
    reselectNames_.reset();
    if (filling_) {
        filling_ = false;
        notifier_->SetEnabled(automaticRefresh_);
    }
}

bool TPzShellList::PassesListingRule() const
{
    return PassesVisibilityRule(*browser_, options_);
}

TListItem* TPzShellList::AddBrowserItem(bool withDetails, bool listed)
{
    if (!listed && !PassesListingRule())
        return nullptr;
    if (!showFolders_ && browser_->IsFolder())
        return nullptr;
    TListItem* item = AddEntry(browser_->GetDisplayName(), browser_->GetObjectIDList());
    if (OnAddItem) {
        // The handler looks at the details: filled here, also on a folder that lists slowly.
        if (withDetails)
            FillDetails(*item);
        bool canAdd = true;
        OnAddItem(*this, *item, canAdd);
        if (!canAdd) {
            DeleteEntries({item});
            return nullptr;
        }
    }
    return item;
}

void TPzShellList::AddListedItem(TItemIdListPtr id)
{
    // The browser takes the item only for the handlers and rules that look at it.
    if (OnAddItem || !showFolders_) {
        browser_->SetObjectIDList(id.get());
        AddBrowserItem(details_, true);
        return;
    }
    const IShellFolderPtr& folder = browser_->FolderInterface();
    std::string name;
    QString caption;
    if (folder && folder->GetDisplayNameOf(id.get(), SHGDN_NORMAL, name).Succeeded() && !name.empty()) {
        caption = StrRetToString(name);
    } else {
        browser_->SetObjectIDList(id.get());
        caption = browser_->GetDisplayName();
    }
    AddEntry(caption, std::move(id));
}

TListItem* TPzShellList::AddEntry(const QString& caption, TItemIdListPtr id)
{
    auto data = std::make_unique<TPzShellListItem>(std::move(id));
    TPzShellListItem& entry = *data;
    TListItem* item = AddItem(caption, std::move(data));
    entry.Row = item;
    entries_.Add(entry);
    return item;
}

void TPzShellList::AddParentEntry(const QString& caption)
{
    if ((link_ && !link_->ParentNavigation()) || SpecialFolder() == SF_DESKTOP)
        return;
    auto data = std::make_unique<TPzShellListItem>();
    data->IsParentEntry = true;
    TListItem* item = AddItem(caption.isEmpty() ? QStringLiteral(" .. ") : caption, std::move(data));
    item->StateIndex = 1;
}

void TPzShellList::FillDetails(TListItem& item)
{
    QStringList texts;
    texts.reserve(std::max(0, columnCount_ - 1));
    for (int column = 1; column < columnCount_; ++column)
        texts.push_back(browser_->GetDetailText(columnMap_[std::size_t(column)], false));
    item.SubItems = std::move(texts);
}

void TPzShellList::FillDetailsNow(TListItem& item)
{
    const TPzShellListItem* data = ShellItemOf(&item);
    if (!details_ || !data || data->IsParentEntry)
        return;
    browser_->SetObjectIDList(data->Item());
    FillDetails(item);
}

std::uint32_t TPzShellList::StatAttributeMask() const
{
    return (ColorCompressed() ? SFGAO_COMPRESSED : 0u) | (ColorEncrypted() ? SFGAO_ENCRYPTED : 0u);
}

// --- Details from a worker (folders that list slowly) ---------------------------------------------

void TPzShellList::QueueDetails(TListItem& item, TPzShellListItem& data, std::uint32_t attributeMask)
{
    const bool wantsTexts = details_ && item.SubItems.isEmpty();
    if (data.DetailsPending || (!wantsTexts && attributeMask == 0))
        return;
    data.DetailsPending = true;
    detailsWanted_.push_back({CloneIDList(data.Item()), {}, 0});
}

void TPzShellList::DoShownRowsCompleted()
{
    if (detailsWanted_.empty())
        return;
    std::vector<int> details;
    for (int column = 1; details_ && column < columnCount_; ++column)
        details.push_back(columnMap_[std::size_t(column)]);
    const std::uint32_t attributeMask = showOverlayIcons_ ? StatAttributeMask() : 0;
    auto work = std::make_shared<TDetailsWorkItem>(
        CloneIDList(FolderIdList()), std::move(details), attributeMask, std::exchange(detailsWanted_, {}), this,
        [this](std::vector<TDetailsWorkItem::TEntry>& entries) { DetailsReady(entries); });
    // The listing keeps the pools alive as long as the list; without them the batch runs here.
    if (TWorkerThreadPool* pool = TWorkerPools::ListingPool()) {
        pool->AddWorkItem(work);
        return;
    }
    work->Execute();
    DetailsReady(work->Entries());
}

void TPzShellList::DetailsReady(std::vector<TDetailsWorkItem::TEntry>& entries)
{
    std::vector<int> rows;
    rows.reserve(entries.size());
    for (TDetailsWorkItem::TEntry& entry : entries) {
        // By the item, not the row: entries may have moved or gone meanwhile.
        TListItem* item = FindItemById(entry.ItemId.get());
        TPzShellListItem* data = ShellItemOf(item);
        if (!data || !data->DetailsPending)
            continue;
        data->DetailsPending = false;
        if (details_ && item->SubItems.isEmpty())
            item->SubItems = std::move(entry.Texts);
        data->IsCompressed = (entry.Attributes & SFGAO_COMPRESSED) != 0;
        data->IsEncrypted = (entry.Attributes & SFGAO_ENCRYPTED) != 0;
        rows.push_back(item->Index());
    }
    std::sort(rows.begin(), rows.end());
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        Model().RowsChanged(rows[first], rows[last]);
        first = last + 1;
    }
}

void TPzShellList::DropDetails()
{
    detailsWanted_.clear();
    if (TWorkerThreadPool* pool = TWorkerPools::ListingPool())
        pool->CancelWork(this);
}

void TPzShellList::CreateColumns()
{
    if (keepsColumnWidths_)
        for (int column = 0; column < std::min(ColumnCount(), kMaxColumns); ++column)
            savedWidths_[std::size_t(column)] = ColumnWidth(column);
    keepsColumnWidths_ = browser_->IsPlainFileSystemFolder();
    std::vector<TListColumn> columns;
    for (int detail = 0;; ++detail) {
        const QString title = browser_->GetDetailText(detail, true);
        if (detail > 0 && title.isEmpty())
            break;
        // The map has room for kMaxColumns; a folder offering more shows the first ones.
        if (int(columns.size()) >= kMaxColumns)
            break;
        const TDetailColumn layout = browser_->GetDetailColumn(detail);
        if (layout.Width > 0) {
            const std::size_t position = columns.size();
            int width = layout.Width;
            if (keepsColumnWidths_ && position < kMaxColumns - 1 && savedWidths_[position] >= 1)
                width = savedWidths_[position];
            const Qt::Alignment alignment = layout.Alignment == LVCFMT_RIGHT    ? Qt::AlignRight
                                            : layout.Alignment == LVCFMT_CENTER ? Qt::AlignHCenter
                                                                                : Qt::AlignLeft;
            columnMap_[position] = detail;
            columns.push_back({title, width, alignment});
        }
        if (!details_)
            break;
    }
    columnCount_ = int(columns.size());
    SetColumns(std::move(columns));
    if (ViewStyle() != vsReport)
        for (int column = 1; column < columnCount_; ++column)
            setColumnHidden(column, true);
    if (OnCreateColumns)
        OnCreateColumns(*this);
}
