// The command side of a TShellNavigator: the objects a command acts on and
// the UI objects made for them.
#include "shell/navigator/TShellNavigator.h"

#include "platform/commands/IExtractImage.h"
#include "platform/commands/IQueryInfo.h"
#include "platform/core/LastError.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/ShellIDLists.h"
#include "shell/navigator/ShellPaths.h"

#include <cerrno>

namespace {

// Thumbnails asked for without a usable size get this square.
constexpr int kDefaultThumbnailSide = 200;

// Empties a navigator's MultiObjects on every way out of a command.
class TMultiObjectsReset
{
public:
    explicit TMultiObjectsReset(TFileNames& names) : names_(names) {}
    ~TMultiObjectsReset() { names_.Clear(); }
    TMultiObjectsReset(const TMultiObjectsReset&) = delete;
    TMultiObjectsReset& operator=(const TMultiObjectsReset&) = delete;

private:
    TFileNames& names_;
};

} // namespace

std::vector<TItemIdListPtr> TShellNavigator::CommandItems()
{
    std::vector<TItemIdListPtr> items;
    const int count = multiObjects_.Count();
    if (count == 0) {
        if (object_)
            items.push_back(CloneIDList(object_.get()));
        return items;
    }
    if (count == 1) {
        const std::string& name = multiObjects_.GetBytes(0);
        if (name.find('/') != std::string::npos) {
            SetObjectNameBytes(name);
            items.push_back(CloneIDList(object_.get()));
        } else if (TItemIdListPtr item = PathToIDList(folder_.get(), name)) {
            items.push_back(std::move(item));
        }
        return items;
    }
    const TItemIdListPtr savedFolder = CloneIDList(folderList_.get());
    const TItemIdListPtr savedObject = CloneIDList(object_.get());
    for (const std::string& name : multiObjects_.Names()) {
        TItemIdListPtr item;
        if (name.find('/') != std::string::npos && !IsDriveOrShareRoot(name)) {
            std::string root = DrivePart(name);
            if (root.empty() || root.back() != '/')
                root += '/';
            SetFolderPath(root);
            item = PathToIDList(folder_.get(), name.substr(std::min(root.size(), name.size())));
        } else {
            item = PathToIDList(folder_.get(), name);
        }
        if (!item) {
            SetObjectNameBytes(name);
            item = CloneIDList(object_.get());
        }
        if (item)
            items.push_back(std::move(item));
    }
    // The object belongs back only where it came from.
    SetObjectIDList(IDListsEqual(savedFolder.get(), folderList_.get()) ? savedObject.get() : nullptr);
    return items;
}

IUIObjectPtr TShellNavigator::GetObjectInterface(TUIObjectKind kind)
{
    const TMultiObjectsReset reset(multiObjects_);
    if (!folder_) {
        SetLastError(ENOENT);
        return nullptr;
    }
    std::vector<TItemIdListPtr> items;
    try {
        items = CommandItems();
    } catch (const EShellNavigatorError&) {
        SetLastError(ENOENT);
        return nullptr;
    }
    std::vector<const TItemIdList*> pointers;
    pointers.reserve(items.size());
    for (const TItemIdListPtr& item : items)
        pointers.push_back(item.get());
    IUIObjectPtr object;
    const TShellResult result = folder_->GetUIObjectOf(GetOwnerWindow(), pointers, kind, object);
    if (result.Failed() || !object) {
        SetLastError(result.Failed() ? result.Error() : ENOTSUP);
        return nullptr;
    }
    return object;
}

QString TShellNavigator::GetInfoTip(bool slow)
{
    const auto info = std::dynamic_pointer_cast<IQueryInfo>(GetObjectInterface(TUIObjectKind::QueryInfo));
    QString tip;
    if (!info || info->GetInfoTip(slow ? QITIPF_USESLOWTIP : QITIPF_DEFAULT, tip).Failed())
        return {};
    return tip;
}

QImage TShellNavigator::ExtractThumbnail(int width, int height)
{
    const auto extractor = std::dynamic_pointer_cast<IExtractImage>(GetObjectInterface(TUIObjectKind::ExtractImage));
    if (!extractor)
        return {};
    const QSize size = width > 0 && height > 0 ? QSize(width, height) : QSize(kDefaultThumbnailSide, kDefaultThumbnailSide);
    std::string location;
    if (extractor->GetLocation(size, IEIFLAG_SCREEN | IEIFLAG_QUALITY, location).Failed())
        return {};
    QImage image;
    if (extractor->Extract(image).Failed())
        return {};
    return image;
}
