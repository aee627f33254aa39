#pragma once

#include "platform/exchange/IDataObject.h"
#include "platform/core/ids/TItemIdList.h"

#include <span>

// Items of one folder as a data object: their local paths in the file-list
// formats and their id lists in the shell's array format.
class TDataObject final : public IDataObject
{
public:
    // `parent` is the folder's absolute list, `children` the items relative to it.
    TDataObject(const TItemIdList* parent, std::span<const TItemIdList* const> children);

    std::unique_ptr<QMimeData> CreateMimeData(bool cut) const override;
    const std::vector<std::string>& FileNames() const override { return paths_; }

private:
    TItemIdListPtr parent_;
    std::vector<TItemIdListPtr> children_;
    std::vector<std::string> paths_;
};
