// The command side of a TShellNavigator: the objects a command acts on and
// the UI objects made for them.
#include "shell/navigator/TShellNavigator.h"

#include "platform/commands/IExtractImage.h"
#include "platform/commands/IQueryInfo.h"
#include "platform/core/system/LastError.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

namespace {

// Thumbnails asked for without a usable size get this square.
constexpr int kDefaultThumbnailSide = 200;

// Empties a navigator's command objects on every way out of a command.
class TMultiObjectsReset
{
public:
    explicit TMultiObjectsReset(TShellNavigator& navigator)
        : navigator_(navigator)
    {
    }
    ~TMultiObjectsReset() { navigator_.ClearCommandObjects(); }
    TMultiObjectsReset(const TMultiObjectsReset&) = delete;
    TMultiObjectsReset& operator=(const TMultiObjectsReset&) = delete;

private:
    TShellNavigator& navigator_;
};

EShellNavigatorError ObjectNotFound(const std::string& name, const QString& folder)
{
    return EShellNavigatorError(QStringLiteral("Error! Cannot find Object \"") +
                                QFile::decodeName(QByteArray::fromStdString(name)) + QStringLiteral("\" in Folder \"") +
                                folder + u'"');
}

}  // namespace

void TShellNavigator::SetCommandObjects(const std::vector<const TItemIdList*>& relative)
{
    commandObjects_.clear();
    for (const TItemIdList* item : relative) {
        if (item)
            commandObjects_.push_back(CloneIDList(item));
    }
}

void TShellNavigator::ClearCommandObjects()
{
    multiObjects_.Clear();
    commandObjects_.clear();
}

TItemIdListPtr TShellNavigator::ObjectItemByName(const std::string& name)
{
    SelectObjectByName(name);
    if (!object_)
        throw ObjectNotFound(name, Folder());
    return CloneIDList(object_.get());
}

std::vector<TItemIdListPtr> TShellNavigator::CommandItems()
{
    std::vector<TItemIdListPtr> items;
    if (!commandObjects_.empty()) {
        for (const TItemIdListPtr& item : commandObjects_)
            items.push_back(CloneIDList(item.get()));
        return items;
    }
    if (multiObjects_.IsEmpty()) {
        if (object_)
            items.push_back(CloneIDList(object_.get()));
        return items;
    }
    const std::vector<std::string>& names = multiObjects_.Names();
    // An empty name would select nothing and leave the folder itself.
    for (const std::string& name : names) {
        if (name.empty())
            throw ObjectNotFound(name, Folder());
    }
    const auto isPath = [](const std::string& name) { return name.find('/') != std::string::npos; };
    if (names.size() == 1 && isPath(names.front())) {
        items.push_back(ObjectItemByName(names.front()));
        return items;
    }
    if (std::none_of(names.begin(), names.end(), isPath)) {
        // Names of the shown folder's objects, found exactly as given; the
        // current object stays what it was.
        const TItemIdListPtr savedObject = CloneIDList(object_.get());
        try {
            for (const std::string& name : names)
                items.push_back(ObjectItemByName(name));
        } catch (const EShellNavigatorError&) {
            SetObjectIDList(savedObject.get());
            throw;
        }
        SetObjectIDList(savedObject.get());
        return items;
    }
    // Paths, maybe beside names of the shown folder's objects: all become
    // paths, parsed below one common root, so that every item is relative to
    // the one folder that makes the UI object.
    const std::string shownFolder = FolderPath();
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) {
        if (name.front() == '/')
            paths.push_back(name);
        else if (!shownFolder.empty())
            paths.push_back(shownFolder + name);
        else
            throw ObjectNotFound(name, Folder());
    }
    const std::string firstDrive = DrivePart(paths.front());
    const bool oneDrive =
        std::all_of(paths.begin(), paths.end(), [&](const std::string& path) { return DrivePart(path) == firstDrive; });
    std::string root(oneDrive ? firstDrive : std::string(1, '/'));
    if (root.empty() || root.back() != '/')
        root.push_back('/');
    const TItemIdListPtr savedFolder = CloneIDList(folderList_.get());
    const TItemIdListPtr savedObject = CloneIDList(object_.get());
    SetFolderPath(root);
    for (const std::string& path : paths) {
        const std::string relative = path.size() > root.size() ? path.substr(root.size()) : std::string();
        TItemIdListPtr item = relative.empty() || path.compare(0, root.size(), root) != 0
                                  ? nullptr
                                  : PathToIDList(folder_.get(), relative);
        if (!item)
            throw ObjectNotFound(path, Folder());
        items.push_back(std::move(item));
    }
    // The object belongs back only where it came from.
    SetObjectIDList(IDListsEqual(savedFolder.get(), folderList_.get()) ? savedObject.get() : nullptr);
    return items;
}

IUIObjectPtr TShellNavigator::GetObjectInterface(TUIObjectKind kind)
{
    const TMultiObjectsReset reset(*this);
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
    const QSize size =
        width > 0 && height > 0 ? QSize(width, height) : QSize(kDefaultThumbnailSide, kDefaultThumbnailSide);
    std::string location;
    if (extractor->GetLocation(size, IEIFLAG_SCREEN | IEIFLAG_QUALITY, location).Failed())
        return {};
    QImage image;
    if (extractor->Extract(image).Failed())
        return {};
    return image;
}
