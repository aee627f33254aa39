#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "platform/namespace/IShellFolder.h"
#include "shell/panes/TPzFolderListing.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The entries a pane holds of one folder: the model behind the file list's
// rows and behind the children of each open folder of the tree. Each entry is
// one object of the folder, its item relative to the folder, found by its
// identity in constant time. A finished listing is merged into the entries in
// one step (the rule of TPzFolderMerge): the pane learns which listed items it
// holds already, which are new and which held entries are gone; a listing
// that failed removes nothing.
//
// The model knows no view. The pane owns each entry with its row or node (its
// row data is an entry) and adds it here; an entry leaves the model when it is
// destroyed with its row, whichever way the view drops it, or when the model
// is reset. The model only finds, counts and merges them. Entries a reset let
// go of are dropped before the model itself goes.
class TPzFolderEntries
{
public:
    // An object of the folder as a pane keeps it.
    class TEntry
    {
    public:
        explicit TEntry(TItemIdListPtr item = nullptr)
            : item_(std::move(item))
        {
        }
        TEntry(const TEntry&) = delete;
        TEntry& operator=(const TEntry&) = delete;

        // The item relative to the folder; null for an entry that stands for no object.
        const TItemIdList* Item() const { return item_.get(); }
        // A renamed or renewed object's item; the model finds the entry by the new one.
        void SetItem(TItemIdListPtr item);

    protected:
        ~TEntry();

    private:
        friend class TPzFolderEntries;
        // Whether the entry is one of `owner_`'s current ones.
        bool HeldNow() const;

        TItemIdListPtr item_;
        TPzFolderEntries* owner_ = nullptr;
        // 32 bits each, which keeps every row smaller: no folder holds four
        // thousand million entries.
        std::uint32_t slot_ = 0;
        std::uint32_t round_ = 0;
    };

    // How a finished listing meets the entries held.
    struct TChange
    {
        // For each listed item, in the listing's order: the entry it is, or null when new.
        std::vector<TEntry*> Listed;
        // The entries the listing did not see; empty unless Completed().
        std::vector<TEntry*> Gone;
        // The errno value that ended the listing early; 0 when it reached its end.
        int Error = 0;

        bool Completed() const { return Error == 0; }
    };

    TPzFolderEntries();
    ~TPzFolderEntries();
    TPzFolderEntries(const TPzFolderEntries&) = delete;
    TPzFolderEntries& operator=(const TPzFolderEntries&) = delete;

    // Lets go of every entry, for those of another listing; the owners keep
    // theirs until they drop them. Constant time: the entries are not touched.
    void Reset();
    std::size_t Count() const { return entries_.size(); }

    // Holds the entry (leaving any model it was in).
    void Add(TEntry& entry);
    // Constant time; an entry not held here is passed by.
    void Remove(TEntry& entry);

    // The entry of the object `item` (relative to the folder) names; null when none.
    TEntry* Find(const TItemIdList* item);
    // The entry whose item has this Key; null when none.
    TEntry* FindByKey(const std::string& key);
    // What the folder's comparison of the name column tells apart: kind,
    // folder or not, name, and for trash entries the trash directory; the raw
    // bytes of an item that cannot be read.
    static std::string Key(const TItemIdList* item);

    // Matches a finished listing of the folder against the entries; `folder`
    // compares its items (null: by bytes alone). The entries stay as they are
    // until the pane adds and removes them.
    [[nodiscard]] TChange Merge(const TPzFolderListing::TResult& result, IShellFolderPtr folder) const;

    // The folder's listing on a worker: one at a time, a newer one cancelling
    // the older; made on first use, since the tree's open folders share one.
    TPzFolderListing& Listing();
    bool ListingPending() const { return listing_ && listing_->Pending(); }

private:
    void EnsureIndex();
    void Index(TEntry& entry);
    void Unindex(const TEntry& entry);

    std::vector<TEntry*> entries_;
    // Entries by Key, built on the second lookup in fresh entries and kept up
    // to date from then on: a start that selects one entry pays one pass.
    std::unordered_map<std::string, TEntry*> index_;
    bool indexBuilt_ = false;
    bool scannedOnce_ = false;
    // Counts the resets: an entry added before the last one is no longer held.
    std::uint32_t round_ = 0;
    std::unique_ptr<TPzFolderListing> listing_;
};
