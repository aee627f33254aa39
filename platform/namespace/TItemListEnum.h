#pragma once

#include "platform/namespace/IEnumIDList.h"

#include <vector>

// Enumerates a list of items made in advance (volumes, trash entries).
class TItemListEnum final : public IEnumIDList
{
public:
    explicit TItemListEnum(std::vector<TItemIdListPtr> items)
        : items_(std::move(items))
    {
    }

    [[nodiscard]] bool Next(TItemIdListPtr& item) override
    {
        if (index_ >= items_.size())
            return false;
        item = CloneIDList(items_[index_++].get());
        return true;
    }
    void Reset() override { index_ = 0; }
    int Error() const override { return 0; }

private:
    std::vector<TItemIdListPtr> items_;
    std::size_t index_ = 0;
};
