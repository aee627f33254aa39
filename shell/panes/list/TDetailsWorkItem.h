#pragma once

#include "platform/core/ids/TItemIdList.h"
#include "shell/threads/TBasicWorkItem.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// The detail texts of a batch of entries of one folder, worked out on a
// worker thread with a navigator of its own (each text may stat the item),
// then handed to the list on the UI thread in one piece unless cancelled.
class TDetailsWorkItem : public TBasicWorkItem
{
public:
    struct TEntry
    {
        // The item relative to the folder: what the list finds its entry by.
        TItemIdListPtr ItemId;
        // Filled by the worker: one text per detail asked for, and the attributes asked for.
        QStringList Texts;
        std::uint32_t Attributes = 0;
    };
    using TDelivery = std::function<void(std::vector<TEntry>& entries)>;

    // `details`: the folder's detail columns wanted, in order; `attributeMask`:
    // the SFGAO_ bits wanted (0: none). `owner` is what CancelWork withdraws the item by.
    TDetailsWorkItem(TItemIdListPtr folder, std::vector<int> details, std::uint32_t attributeMask,
                     std::vector<TEntry> entries, const void* owner, TDelivery delivery);

    void Execute() override;
    // What Execute filled in (for a caller that runs it without a pool).
    std::vector<TEntry>& Entries() { return entries_; }

private:
    TItemIdListPtr folder_;
    std::vector<int> details_;
    std::uint32_t attributeMask_;
    std::vector<TEntry> entries_;
    TDelivery delivery_;
};
