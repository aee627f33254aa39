#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "platform/namespace/IShellFolder.h"
#include "shell/panes/TPzFolderListing.h"

#include <cstddef>
#include <vector>

// How a finished listing changes what a pane holds of a folder, the rule the
// file list and the folder tree share: a listed item the pane holds already
// keeps its entry, any other is new, and the held entries the listing did not
// see are gone, but only when the listing reached its end; one that failed
// midway says nothing about the entries it did not get to.
//
// Entries are matched by their item's bytes, and where those differ (an item
// parsed from a path, one whose directory-entry type was not known) by the
// folder's order key of the name column, which is equal exactly for items the
// folder's comparison calls equal. Either way one hash lookup per item: a
// merge of k listed items into n held entries costs O(n + k).
class TPzFolderMerge
{
public:
    static constexpr int kNew = -1;

    struct TAnswer
    {
        // For each listed item, in the listing's order: the held entry it is
        // (its number in Hold order), or kNew.
        std::vector<int> Listed;
        // The held entries not seen, ascending; empty unless Completed().
        std::vector<std::size_t> Gone;
        // The errno value that ended the listing early; 0 when it reached its end.
        int Error = 0;

        bool Completed() const { return Error == 0; }
    };

    // `folder` compares the items of the listed folder; null matches by bytes alone.
    explicit TPzFolderMerge(IShellFolderPtr folder);

    // One held entry, by its item relative to the folder; entries are
    // numbered from 0 in the order held. The item must outlive Merge.
    void Hold(const TItemIdList* item);
    std::size_t HeldCount() const { return held_.size(); }

    [[nodiscard]] TAnswer Merge(const TPzFolderListing::TResult& result);

    // Hash lookups and order keys made by the last Merge: what its cost grows with.
    std::size_t Probes() const { return probes_; }

private:
    IShellFolderPtr folder_;
    std::vector<const TItemIdList*> held_;
    std::size_t probes_ = 0;
};
