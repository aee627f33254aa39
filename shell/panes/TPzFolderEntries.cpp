#include "shell/panes/TPzFolderEntries.h"

#include "platform/core/ids/ShellItems.h"
#include "shell/panes/TPzFolderMerge.h"

namespace {

// Whether two readable items have one Key.
bool SameKey(const TItemView& a, const TItemView& b)
{
    return a.kind == b.kind && a.IsFolder() == b.IsFolder() && a.virtualFolder == b.virtualFolder && a.name == b.name &&
           a.trashPath == b.trashPath;
}

}  // namespace

TPzFolderEntries::TEntry::~TEntry()
{
    if (owner_)
        owner_->Remove(*this);
}

bool TPzFolderEntries::TEntry::HeldNow() const
{
    return owner_ && round_ == owner_->round_;
}

void TPzFolderEntries::TEntry::SetItem(TItemIdListPtr item)
{
    const bool held = HeldNow();
    if (held)
        owner_->Unindex(*this);
    item_ = std::move(item);
    if (held && owner_->indexBuilt_)
        owner_->Index(*this);
}

TPzFolderEntries::TPzFolderEntries() = default;

TPzFolderEntries::~TPzFolderEntries()
{
    if (listing_)
        listing_->Detach();
    for (TEntry* entry : entries_)
        entry->owner_ = nullptr;
}

TPzFolderListing& TPzFolderEntries::Listing()
{
    if (!listing_)
        listing_ = std::make_unique<TPzFolderListing>();
    return *listing_;
}

void TPzFolderEntries::Reset()
{
    ++round_;
    entries_.clear();
    index_.clear();
    indexBuilt_ = false;
    scannedOnce_ = false;
}

void TPzFolderEntries::Add(TEntry& entry)
{
    if (entry.owner_)
        entry.owner_->Remove(entry);
    entry.owner_ = this;
    entry.round_ = round_;
    entry.slot_ = std::uint32_t(entries_.size());
    entries_.push_back(&entry);
    if (indexBuilt_)
        Index(entry);
}

void TPzFolderEntries::Remove(TEntry& entry)
{
    if (entry.owner_ != this)
        return;
    if (!entry.HeldNow()) {
        entry.owner_ = nullptr;
        return;
    }
    Unindex(entry);
    TEntry* last = entries_.back();
    entries_[entry.slot_] = last;
    last->slot_ = entry.slot_;
    entries_.pop_back();
    entry.owner_ = nullptr;
}

std::string TPzFolderEntries::Key(const TItemIdList* item)
{
    TItemView view;
    if (!item || !ReadItem(item, view))
        return std::string(reinterpret_cast<const char*>(IDListBytes(item)), IDListItemSize(item));
    std::string key;
    key.reserve(view.name.size() + view.trashPath.size() + 4);
    key.push_back(char(view.kind));
    key.push_back(view.IsFolder() ? 'd' : 'f');
    key.push_back(char(view.virtualFolder));
    key.append(view.name);
    key.push_back('\0');
    key.append(view.trashPath);
    return key;
}

TPzFolderEntries::TEntry* TPzFolderEntries::Find(const TItemIdList* item)
{
    if (!item)
        return nullptr;
    // The first lookup in fresh entries (the entry a start or another pane
    // selects) reads them in one pass; the index pays from the second one on.
    TItemView sought;
    if (!indexBuilt_ && !scannedOnce_ && ReadItem(item, sought)) {
        scannedOnce_ = true;
        for (TEntry* entry : entries_)
            if (TItemView view; ReadItem(entry->Item(), view) && SameKey(view, sought))
                return entry;
        return nullptr;
    }
    return FindByKey(Key(item));
}

TPzFolderEntries::TEntry* TPzFolderEntries::FindByKey(const std::string& key)
{
    EnsureIndex();
    const auto found = index_.find(key);
    return found == index_.end() ? nullptr : found->second;
}

TPzFolderEntries::TChange TPzFolderEntries::Merge(const TPzFolderListing::TResult& result, IShellFolderPtr folder) const
{
    TPzFolderMerge merge(std::move(folder));
    for (const TEntry* entry : entries_)
        merge.Hold(entry->Item());
    const TPzFolderMerge::TAnswer answer = merge.Merge(result);
    TChange change;
    change.Error = answer.Error;
    change.Listed.reserve(answer.Listed.size());
    for (const int held : answer.Listed)
        change.Listed.push_back(held == TPzFolderMerge::kNew ? nullptr : entries_[std::size_t(held)]);
    change.Gone.reserve(answer.Gone.size());
    for (const std::size_t held : answer.Gone)
        change.Gone.push_back(entries_[held]);
    return change;
}

void TPzFolderEntries::EnsureIndex()
{
    if (indexBuilt_)
        return;
    index_.clear();
    index_.reserve(entries_.size());
    for (TEntry* entry : entries_)
        Index(*entry);
    indexBuilt_ = true;
}

void TPzFolderEntries::Index(TEntry& entry)
{
    if (entry.Item())
        index_.emplace(Key(entry.Item()), &entry);
}

void TPzFolderEntries::Unindex(const TEntry& entry)
{
    if (!indexBuilt_ || !entry.Item())
        return;
    const auto found = index_.find(Key(entry.Item()));
    if (found != index_.end() && found->second == &entry)
        index_.erase(found);
}
