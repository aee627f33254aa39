#pragma once

#include "platform/namespace/IEnumIDList.h"
#include "platform/namespace/items/THiddenList.h"

#include <cstdint>
#include <dirent.h>
#include <memory>
#include <string>
#include <vector>

// Enumerates a directory's entries as file-system items, after a list of items
// that come first (the desktop's virtual folders). The entry type of the
// directory entry decides folder or not; only links and entries of unknown type
// cost a stat.
class TDirectoryEnum final : public IEnumIDList
{
public:
    // Without SHCONTF_INCLUDEHIDDEN, the names `hidden` hides are left out.
    TDirectoryEnum(std::string path, std::uint32_t flags, std::shared_ptr<const THiddenList> hidden,
                   std::vector<TItemIdListPtr> leading);

    // Opens the directory; false with errno when it cannot be read.
    [[nodiscard]] bool Open();

    [[nodiscard]] bool Next(TItemIdListPtr& item) override;
    void Reset() override;
    int Error() const override { return error_; }

private:
    struct TDirCloser
    {
        void operator()(DIR* directory) const { closedir(directory); }
    };

    TItemIdListPtr MakeItem(const dirent& entry);

    std::string path_;
    std::uint32_t flags_;
    std::shared_ptr<const THiddenList> hidden_;
    std::vector<TItemIdListPtr> leading_;
    std::size_t leadingIndex_ = 0;
    int error_ = 0;
    std::unique_ptr<DIR, TDirCloser> directory_;
};
