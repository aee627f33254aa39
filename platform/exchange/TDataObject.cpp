#include "platform/exchange/TDataObject.h"

#include "platform/exchange/FileListCodec.h"
#include "platform/exchange/ShellIDListArray.h"
#include "platform/namespace/ShellNamespace.h"

TDataObject::TDataObject(const TItemIdList* parent, std::span<const TItemIdList* const> children)
    : parent_(CloneIDList(parent))
{
    for (const TItemIdList* child : children) {
        children_.push_back(CloneIDList(child));
        const TItemIdListPtr absolute = ConcatIDLists(parent, child);
        if (std::string path = SHGetPathFromIDList(absolute.get()); !path.empty())
            paths_.push_back(std::move(path));
    }
}

std::unique_ptr<QMimeData> TDataObject::CreateMimeData(bool cut) const
{
    auto data = std::make_unique<QMimeData>();
    if (!paths_.empty())
        WriteFileList(*data, paths_, cut);
    std::vector<const TItemIdList*> children;
    children.reserve(children_.size());
    for (const TItemIdListPtr& child : children_)
        children.push_back(child.get());
    data->setData(kShellIDListArrayMime, EncodeShellIDListArray(parent_.get(), children));
    return data;
}
