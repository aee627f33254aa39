#include "shell/navigator/TShellNavigator.h"

#include "platform/core/system/LastError.h"
#include "shell/navigator/library/ComponentVersion.h"
#include "shell/navigator/EShellNavigatorError.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/library/TShellLibrary.h"

#include <QFile>

#include <cerrno>
#include <utility>

namespace {

QString Decoded(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string Encoded(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

// Two folder paths name the same folder when they differ at most in trailing slashes.
bool SameFolderPath(std::string a, std::string b)
{
    while (a.size() > 1 && a.back() == '/')
        a.pop_back();
    while (b.size() > 1 && b.back() == '/')
        b.pop_back();
    return a == b;
}

// Restores the current object when a search for a name fails.
class TObjectRestorer
{
public:
    TObjectRestorer(TShellNavigator& navigator, TItemIdListPtr saved)
        : navigator_(navigator)
        , saved_(std::move(saved))
    {
    }
    ~TObjectRestorer()
    {
        if (active_)
            navigator_.SetObjectIDList(saved_.get());
    }
    void Dismiss() { active_ = false; }

private:
    TShellNavigator& navigator_;
    TItemIdListPtr saved_;
    bool active_ = true;
};

}  // namespace

TShellNavigator::TShellNavigator(QObject* owner)
    : QObject(owner)
{
    try {
        SetFolderPath({});
    } catch (const EShellNavigatorError&) {
        // Without a computer folder the navigator starts without a folder.
    }
}

TShellNavigator::~TShellNavigator() = default;

QString TShellNavigator::Version() const
{
    return ComponentVersion("TShellNavigator");
}

// --- Filter ---------------------------------------------------------------

QString TShellNavigator::Filter() const
{
    return filterPatterns_.isEmpty() ? QStringLiteral("*") : filterPatterns_.join(u';');
}

void TShellNavigator::SetFilter(const QString& filter)
{
    filterPatterns_.clear();
    if (filter.isEmpty() || filter == QLatin1String("*"))
        return;
    QString value = filter;
    if (!value.endsWith(u';'))
        value += u';';
    filterPatterns_ = value.split(u';');
    // The piece after the closing ";" is no pattern.
    filterPatterns_.removeLast();
}

// --- Folder ---------------------------------------------------------------

QString TShellNavigator::Folder() const
{
    return Decoded(FolderPath());
}

std::string TShellNavigator::FolderPath() const
{
    // A folder reached through a link on the desktop reads as the link's target.
    if (IDListCount(folderList_.get()) == 2 && !folderPath_.empty()) {
        const std::string target = ResolveShortcut(folderPath_);
        if (!target.empty())
            return target.back() == '/' ? target : target + '/';
    }
    return folderPath_;
}

void TShellNavigator::SetFolder(const QString& path)
{
    SetFolderPath(Encoded(path));
}

void TShellNavigator::SetFolderPath(const std::string& path)
{
    if (!path.empty() && SameFolderPath(path, folderPath_))
        return;
    NavigateToPath(path);
}

void TShellNavigator::NavigateToPath(const std::string& path)
{
    std::string oldPath = folderPath_;
    folderPath_ = path;
    const TItemIdListPtr list = PathToIDList(nullptr, path);
    if (!list) {
        folderPath_ = std::move(oldPath);
        throw EShellNavigatorError(QString::fromLocal8Bit(GetSystemErrorText(ENOENT)) + u'\n' + Decoded(path));
    }
    if (folderPath_.empty() || folderPath_.back() != '/')
        folderPath_ += '/';
    try {
        SetFolderIDList(list.get());
    } catch (const EShellNavigatorError&) {
        folderPath_ = std::move(oldPath);
        throw;
    }
}

void TShellNavigator::SetFolderIDList(const TItemIdList* absolute)
{
    if (absolute && absolute == folderList_.get()) {
        enumerator_.reset();
        return;
    }
    if (!absolute)
        return;
    TItemIdListPtr list = CloneIDList(absolute);
    IShellFolderPtr folder;
    const IShellFolderPtr desktop = DesktopFolder();
    const TShellResult same =
        desktop ? desktop->CompareIDs(0, list.get(), DesktopIDList()) : TShellResult::Fail(ENOENT);
    if (desktop && (IsDesktopIDList(list.get()) || (same.Succeeded() && same.OrderValue() == 0))) {
        folder = desktop;
        list = CloneIDList(DesktopIDList());
    } else {
        const TShellResult bound = desktop ? desktop->BindToObject(list.get(), folder) : TShellResult::Fail(ENOENT);
        if (!folder) {
            const int error = bound.Failed() ? bound.Error() : ENOTDIR;
            SetLastError(error);
            throw EShellNavigatorError(
                QStringLiteral(
                    "ShellNavigator.SetFolderIDList: Desktop.BindToObject: Could not get IShellFolder interface. (") +
                QString::fromLocal8Bit(GetSystemErrorText(error)) + u')');
        }
    }
    enumerator_.reset();
    folder_ = std::move(folder);
    folderList_ = std::move(list);
    SetObjectIDList(nullptr);
    folderPath_ = GetPathFromIDList(folderList_.get());
    if (!folderPath_.empty() && folderPath_.back() != '/')
        folderPath_ += '/';
}

TItemIdListPtr TShellNavigator::GetFolderIDList() const
{
    return CloneIDList(folderList_.get());
}

void TShellNavigator::SetAbsoluteIDList(const TItemIdList* absolute)
{
    if (!absolute)
        return;
    // The list may be our own (the folder list, the absolute cache), which the
    // folder change frees.
    const TItemIdListPtr list = CloneIDList(absolute);
    const std::size_t count = IDListCount(list.get());
    if (count == 0) {
        SetFolderIDList(DesktopIDList());
        return;
    }
    const TItemIdListPtr parent = TruncateIDList(list.get(), count - 1);
    const TItemIdListPtr item = GetIDListItem(list.get(), count - 1);
    SetFolderIDList(parent.get());
    SetObjectIDList(item.get());
}

bool TShellNavigator::GoToParent()
{
    SetAbsoluteIDList(folderList_.get());
    return true;
}

bool TShellNavigator::OpenObjectAsFolder()
{
    if (IsFolder())
        SetFolderIDList(GetAbsoluteIDList());
    return folder_ != nullptr;
}

TPzShellFolder TShellNavigator::SpecialFolder() const
{
    return FindSpecialFolder(folderList_.get());
}

void TShellNavigator::SetSpecialFolder(TPzShellFolder value)
{
    if (!loaded_ && value == SF_FILESYSTEMFOLDER)
        return;
    try {
        const TItemIdListPtr list = GetSpecialFolderIDList(value);
        if (list)
            SetFolderIDList(list.get());
    } catch (const EShellNavigatorError&) {
        // The folder stays as it was.
    }
}

// --- Object -------------------------------------------------------------

void TShellNavigator::SetObjectIDList(const TItemIdList* relative)
{
    if (relative != object_.get())
        object_ = CloneIDList(relative);
    ObjectChanged();
}

void TShellNavigator::ObjectChanged()
{
    absoluteCache_.reset();
    findDataValid_ = false;
    hasSubFolders_ = -1;
}

TItemIdListPtr TShellNavigator::GetObjectIDList() const
{
    return CloneIDList(object_.get());
}

const TItemIdList* TShellNavigator::GetAbsoluteIDList() const
{
    if (!absoluteCache_)
        absoluteCache_ = object_ ? ConcatIDLists(folderList_.get(), object_.get()) : CloneIDList(folderList_.get());
    return absoluteCache_.get();
}

void TShellNavigator::SetObjectName(const QString& name)
{
    SetObjectNameBytes(Encoded(name));
}

void TShellNavigator::SetObjectNameBytes(const std::string& name)
{
    SelectObjectByName(name);
}

void TShellNavigator::SelectObjectByName(std::string name)
{
    if (name.empty()) {
        SetObjectIDList(nullptr);
        return;
    }
    if (name.size() > 1 && name.back() == '/')
        name.pop_back();
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) {
        TItemIdListPtr item;
        // "." and ".." would parse to the folder itself or its parent: not objects of it.
        if (name != "." && name != ".." && folder_)
            item = PathToIDList(folder_.get(), name);
        if (item && IDListCount(item.get()) == 1) {
            SetObjectIDList(item.get());
            return;
        }
        TObjectRestorer restorer(*this, GetObjectIDList());
        const bool found = FindObjectByEnumeration(name);
        enumerator_.reset();
        if (!found)
            throw EShellNavigatorError(QStringLiteral("Error! Cannot find Object \"") + Decoded(name) +
                                       QStringLiteral("\" in Folder \"") + Folder() + u'"');
        restorer.Dismiss();
        return;
    }
    if (IsDriveOrShareRoot(name)) {
        SetFolderPath(name);
        GoToParent();
        return;
    }
    SetFolderPath(name.substr(0, slash + 1));
    SelectObjectByName(name.substr(slash + 1));
}

bool TShellNavigator::FindObjectByEnumeration(const std::string& name)
{
    // Virtual folders' objects are known by their display names; names of
    // files match byte for byte ("readme" is not "README").
    const QString text = Decoded(name);
    enumerator_.reset();
    while (Next()) {
        if (ObjectNameBytes() == name || GetDisplayName() == text)
            return true;
    }
    return false;
}
