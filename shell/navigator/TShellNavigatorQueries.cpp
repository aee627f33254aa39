// The questions a TShellNavigator answers about its current object, and the
// enumeration of its folder.
#include "shell/navigator/TShellNavigator.h"

#include "platform/core/ids/ShellConstants.h"
#include "platform/icons/ShellFileInfo.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/icons/TSystemImageList.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellNames.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/library/TShellLibrary.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr std::uint32_t kEnumerateEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
constexpr std::uint32_t kFileSystemBits = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
constexpr std::uint32_t kSmallIconFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

int IconIndexOf(const TItemIdList* absolute, std::uint32_t flags)
{
    if (!absolute)
        return -1;
    const TShFileInfo info = SHGetFileInfo(absolute, 0, flags);
    return info.succeeded ? info.iIcon : -1;
}

}  // namespace

// --- Names ----------------------------------------------------------------

const TFindData* TShellNavigator::FindData() const
{
    if (!object_ || !folder_)
        return nullptr;
    if (!findDataValid_) {
        findData_ = TFindData{};
        findDataValid_ = folder_->GetFindData(object_.get(), findData_).Succeeded() && !findData_.name.empty();
    }
    return findDataValid_ ? &findData_ : nullptr;
}

QString TShellNavigator::ObjectName() const
{
    return StrRetToString(ObjectNameBytes());
}

std::string TShellNavigator::ObjectNameBytes() const
{
    if (!folder_ || !object_)
        return {};
    // A file-system item carries its file name: no need to ask the disk.
    TItemView view;
    if (ReadItem(object_.get(), view) && view.kind == TItemKind::FileSystem)
        return std::string(view.name);
    if (const TFindData* data = FindData())
        return data->name;
    const TItemIdList* absolute = GetAbsoluteIDList();
    if (IDListCount(absolute) <= 1)
        return {};
    const std::string path = GetPathFromIDList(absolute);
    if (!path.empty() && path.substr(0, path.size() - 1) == DrivePart(path.substr(0, path.size() - 1)))
        return path;
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        name = QFile::encodeName(GetNetworkName()).toStdString();
    return name;
}

QString TShellNavigator::GetDisplayName() const
{
    if (!folder_ || !object_)
        return {};
    std::string name;
    if (folder_->GetDisplayNameOf(object_.get(), SHGDN_NORMAL, name).Succeeded() && !name.empty())
        return StrRetToString(name);
    return ObjectName();
}

QString TShellNavigator::GetNetworkName() const
{
    // The namespace has shares (mounted network file systems) but no domain or
    // server objects, which are the only ones with a network name.
    return {};
}

QString TShellNavigator::GetDesktopDisplayName() const
{
    const TShFileInfo info = SHGetFileInfo(DesktopIDList(), 0, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    return info.succeeded ? StrRetToString(info.szDisplayName) : QString();
}

// --- Enumeration ------------------------------------------------------------

bool TShellNavigator::Next()
{
    if (!folder_)
        return false;
    if (!enumerator_) {
        enumerationError_ = 0;
        std::unique_ptr<IEnumIDList> enumerator;
        const TShellResult opened = folder_->EnumObjects(kEnumerateEverything, enumerator);
        if (opened.Failed() || !enumerator) {
            enumerationError_ = opened.Error() != 0 ? opened.Error() : EIO;
            return false;
        }
        enumerator_ = std::move(enumerator);
        enumeratingNetwork_ = fileSystemOnly_ && IsSpecialFolderIDList(folderList_.get(), SF_NETWORK);
    }
    TItemIdListPtr item;
    while (enumerator_->Next(item)) {
        SetObjectIDList(item.get());
        if (fileSystemOnly_ && !PassesFileSystemRule())
            continue;
        if (PassesFilter())
            return true;
    }
    enumerationError_ = enumerator_->Error();
    enumerator_.reset();
    return false;
}

bool TShellNavigator::PassesFileSystemRule()
{
    if (GetAttributes(kFileSystemBits) == 0) {
        const bool kept = ObjectName().left(7).toUpper() == QLatin1String("RECYCLE") || enumeratingNetwork_ ||
                          IsSpecialFolderIDList(GetAbsoluteIDList(), SF_BITBUCKET) ||
                          IsSpecialFolderIDList(GetAbsoluteIDList(), SF_DRIVES) ||
                          IsSpecialFolderIDList(GetAbsoluteIDList(), SF_NETWORK);
        if (!kept)
            return false;
    }
    return !enumeratingNetwork_ || !ObjectNameBytes().empty();
}

bool TShellNavigator::PassesFilter() const
{
    if (filterPatterns_.isEmpty() || IsFolder())
        return true;
    const QString name = ObjectName();
    for (const QString& pattern : filterPatterns_) {
        if (MatchesFilter(name, pattern))
            return true;
    }
    return false;
}

// --- Attributes -----------------------------------------------------------

std::uint32_t TShellNavigator::GetAttributes(std::uint32_t mask) const
{
    if (!folder_ || !object_)
        return 0;
    const TItemIdList* items[] = {object_.get()};
    std::uint32_t attributes = mask;
    if (folder_->GetAttributesOf(items, attributes).Failed())
        return 0;
    return attributes & mask;
}

bool TShellNavigator::IsFolder() const
{
    if (!folder_ || !object_)
        return false;
    const std::uint32_t mask = fileSystemOnly_ ? SFGAO_FOLDER | SFGAO_FILESYSANCESTOR : SFGAO_FOLDER;
    const TItemIdList* items[] = {object_.get()};
    // The answer is read whatever the call reports: a failing question counts
    // as having the bits asked for.
    std::uint32_t attributes = mask;
    static_cast<void>(folder_->GetAttributesOf(items, attributes));
    return (attributes & mask) == mask;
}

bool TShellNavigator::HasSubFolders() const
{
    if (!object_)
        return true;
    if (hasSubFolders_ < 0) {
        bool answer;
        if (fileSystemOnly_)
            answer = GetAttributes(SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR) & SFGAO_HASSUBFOLDER;
        else
            answer = GetAttributes(SFGAO_HASSUBFOLDER) != 0;
        hasSubFolders_ = answer ? 1 : 0;
    }
    return hasSubFolders_ == 1;
}

bool TShellNavigator::IsHidden() const
{
    return GetAttributes(SFGAO_HIDDEN) != 0;
}

bool TShellNavigator::IsLink() const
{
    return GetAttributes(SFGAO_LINK) != 0;
}

bool TShellNavigator::CanRename() const
{
    return GetAttributes(SFGAO_CANRENAME) != 0;
}

bool TShellNavigator::IsPlainFileSystemFolder() const
{
    return !FolderPath().empty() && !IsDesktopIDList(folderList_.get());
}

TPzShellFolder TShellNavigator::GetObjectSpecialFolder() const
{
    return FindSpecialFolder(GetAbsoluteIDList());
}

std::string TShellNavigator::GetLinkTarget() const
{
    if (!IsLink())
        return {};
    const std::string target = ResolveShortcut(FolderPath() + ObjectNameBytes());
    struct stat status
    {};
    if (target.empty() || ::stat(target.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return {};
    return target;
}

QDateTime TShellNavigator::GetModificationDate() const
{
    const TFindData* data = FindData();
    if (!data || data->modificationTime.tv_sec == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>(data->modificationTime.tv_sec) * 1000 + data->modificationTime.tv_nsec / 1000000, Qt::UTC);
}

// --- Icons ----------------------------------------------------------------

int TShellNavigator::GetIconIndex() const
{
    return IconIndexOf(GetAbsoluteIDList(), kSmallIconFlags);
}

int TShellNavigator::GetOpenIconIndex() const
{
    return IconIndexOf(GetAbsoluteIDList(), kSmallIconFlags | SHGFI_OPENICON);
}

int TShellNavigator::GetDesktopIconIndex() const
{
    return IconIndexOf(DesktopIDList(), kSmallIconFlags);
}

int TShellNavigator::GetOverlayIndex() const
{
    if (!object_)
        return -1;
    const std::uint32_t attributes = GetAttributes(SFGAO_LINK | SFGAO_SHARE);
    if (attributes & SFGAO_LINK)
        return kLinkOverlayIndex;
    if (attributes & SFGAO_SHARE)
        return kShareOverlayIndex;
    return -1;
}

QWidget* TShellNavigator::GetOwnerWindow() const
{
    if (!showErrorMessages_)
        return nullptr;
    if (auto* owner = qobject_cast<QWidget*>(parent()); owner && loaded_)
        return owner->window();
    return QApplication::activeWindow();
}
