#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/namespace/NamespacePaths.h"
#include "platform/namespace/items/THiddenList.h"

#include <functional>
#include <memory>
#include <string>

// A folder of the namespace. One class serves every kind: what differs between
// desktop, home, computer, network, trash, volumes and directories is which
// items they list and which details columns they have; everything asked of an
// item follows from the item's own kind.
class TShellFolder final : public IShellFolder, public std::enable_shared_from_this<TShellFolder>
{
public:
    TShellFolder(TFolderKind kind, TItemIdListPtr absolute, std::string path);

    TShellResult ParseDisplayName(const std::string& name, TItemIdListPtr& result) override;
    TShellResult EnumObjects(std::uint32_t flags, std::unique_ptr<IEnumIDList>& enumerator) override;
    TShellResult BindToObject(const TItemIdList* relative, IShellFolderPtr& folder) override;
    TShellResult CompareIDs(int column, const TItemIdList* a, const TItemIdList* b) override;
    TShellResult GetOrderKey(int column, const TItemIdList* item, std::string& key) override;
    TShellResult GetAttributesOf(std::span<const TItemIdList* const> items, std::uint32_t& attributes) override;
    TShellResult GetDisplayNameOf(const TItemIdList* item, std::uint32_t flags, std::string& name) override;
    TShellResult SetNameOf(const TItemIdList* item, const std::string& newName, std::uint32_t flags,
                           TItemIdListPtr* newItem) override;
    TShellResult GetDetailsOf(const TItemIdList* item, int column, TShellDetails& details) override;
    TShellResult GetDefaultColumnState(int column, std::uint32_t& state) override;
    TShellResult GetFindData(const TItemIdList* item, TFindData& data) override;
    TShellResult GetUIObjectOf(QWidget* owner, std::span<const TItemIdList* const> items, TUIObjectKind kind,
                               IUIObjectPtr& object) override;
    const TItemIdList* GetIDList() const override { return idList_.get(); }
    const std::string& GetPath() const override { return path_; }

    TFolderKind Kind() const { return kind_; }

private:
    TItemContext Context() const { return TItemContext{kind_, path_}; }
    // Runs `action` on the last item of a multi-level relative list, from the
    // folder that holds it; single items run here.
    TShellResult OnLastItem(const TItemIdList* item,
                            const std::function<TShellResult(TShellFolder&, const TItemIdList*)>& action);
    TShellResult ParseAbsoluteName(const std::string& name, TItemIdListPtr& result);
    TShellResult ParseTrashName(const std::string& name, TItemIdListPtr& result);
    std::vector<TItemIdListPtr> ListVirtualItems(std::uint32_t flags) const;
    std::vector<TItemIdListPtr> ListVolumeItems(bool networkOnly) const;
    std::vector<TItemIdListPtr> ListTrashItems(std::uint32_t flags) const;
    // The names the folder hides, read again from its ".hidden" file when `reload`.
    std::shared_ptr<const THiddenList> HiddenList(bool reload);

    TFolderKind kind_;
    TItemIdListPtr idList_;
    std::string path_;
    std::shared_ptr<const THiddenList> hiddenList_;
};
