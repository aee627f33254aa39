#include "platform/commands/ContextMenuCommands.h"

#include "platform/commands/AppLauncher.h"
#include "platform/exchange/FileClipboard.h"
#include "platform/fileops/FileOperations.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/commands/PropertiesHook.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/exchange/TDataObject.h"

#include <QFile>

#include <cerrno>
#include <map>

namespace {

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

void ShowError(QWidget* owner, const QString& text)
{
    if (!owner)
        return;
    TMessageRequest request;
    request.Owner = owner;
    request.Caption = QStringLiteral("Fehler");
    request.Text = text;
    request.Icon = TMessageIcon::Error;
    ShowMessageBox(request);
}

QString NameOf(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    const std::string name = slash == std::string::npos || trimmed == "/" ? trimmed : trimmed.substr(slash + 1);
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::vector<std::string> PathsOf(const TCommandTarget& target)
{
    std::vector<std::string> paths;
    for (const TMenuItem& item : *target.Items)
        paths.push_back(item.Path);
    return paths;
}

TShellResult ResultOf(const TFileOperationResult& result)
{
    if (result.Completed)
        return TShellResult::Ok();
    // Items the user kept are no failure, but no success either: they are still there.
    if (result.Cancelled || (result.Error == 0 && !result.Kept.empty()))
        return Failure(ECANCELED);
    return Failure(result.Error != 0 ? result.Error : EIO);
}

TShellResult RunOperation(TFileOperationKind kind, std::vector<std::string> sources, std::string targetFolder,
                          QWidget* owner)
{
    TFileOperationRequest request;
    request.Kind = kind;
    request.Sources = std::move(sources);
    request.TargetFolder = std::move(targetFolder);
    request.Owner = owner;
    return ResultOf(RunFileOperation(request));
}

TShellResult Launch(const std::string& appId, const std::vector<std::string>& paths, QWidget* owner)
{
    std::string error;
    if (GetAppLauncher()->Launch(appId, paths, error))
        return TShellResult::Ok();
    ShowError(owner, QString::fromUtf8(error));
    return Failure(ENOEXEC);
}

}  // namespace

TShellResult RunOpen(const TCommandTarget& target)
{
    // Each application gets all of its files in one start, in the items' order.
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> filesOfApp;
    const IAppLauncherPtr launcher = GetAppLauncher();
    for (const TMenuItem& item : *target.Items) {
        const std::string mimeType = MimeTypeOfFile(item.Path);
        const std::optional<TAppInfo> app = launcher->DefaultAppForType(mimeType);
        if (!app) {
            ShowError(target.Owner, QStringLiteral("Für „%1“ (%2) ist keine Anwendung zum Öffnen festgelegt.")
                                        .arg(NameOf(item.Path), QString::fromStdString(mimeType)));
            return Failure(ENOEXEC);
        }
        std::vector<std::string>& files = filesOfApp[app->Id];
        if (files.empty())
            order.push_back(app->Id);
        files.push_back(item.Path);
    }
    for (const std::string& appId : order) {
        if (const TShellResult result = Launch(appId, filesOfApp[appId], target.Owner); result.Failed())
            return result;
    }
    return TShellResult::Ok();
}

TShellResult RunOpenWith(const TCommandTarget& target, const std::string& appId)
{
    return Launch(appId, PathsOf(target), target.Owner);
}

TShellResult RunPutOnClipboard(const TCommandTarget& target, bool cut)
{
    std::vector<const TItemIdList*> children;
    for (const TMenuItem& item : *target.Items)
        children.push_back(item.Relative.get());
    const TDataObject data(target.FolderList, children);
    PutFilesOnClipboard(data.CreateMimeData(cut));
    return TShellResult::Ok();
}

TShellResult RunPaste(const std::string& folderPath, QWidget* owner)
{
    const std::optional<TFileList> files = FilesOnClipboard();
    if (!files)
        return Failure(ENODATA);
    const TShellResult result =
        RunOperation(files->Cut ? TFileOperationKind::Move : TFileOperationKind::Copy, files->Paths, folderPath, owner);
    if (result.Succeeded() && files->Cut)
        ClearClipboard();
    return result;
}

std::string LinkFolderOf(const TCommandTarget& target)
{
    if (!target.FolderPath.empty())
        return target.FolderPath;
    const TItemIdListPtr desktop = SHGetSpecialFolderLocation(SF_DESKTOPDIRECTORY);
    return SHGetPathFromIDList(desktop.get());
}

TShellResult RunLink(const TCommandTarget& target)
{
    const std::string folder = LinkFolderOf(target);
    if (folder.empty())
        return Failure(ENOENT);
    return RunOperation(TFileOperationKind::Link, PathsOf(target), folder, target.Owner);
}

TShellResult RunDelete(const TCommandTarget& target)
{
    const bool inTrash = !target.Items->empty() && target.Items->front().IsTrashEntry;
    return RunOperation(inTrash ? TFileOperationKind::Delete : TFileOperationKind::Trash, PathsOf(target), {},
                        target.Owner);
}

TShellResult RunUndelete(const TCommandTarget& target)
{
    return RunOperation(TFileOperationKind::Restore, PathsOf(target), {}, target.Owner);
}

TShellResult RunProperties(const TCommandTarget& target)
{
    std::vector<const TItemIdList*> items;
    for (const TMenuItem& item : *target.Items)
        items.push_back(item.Absolute.get());
    if (items.empty())
        items.push_back(target.FolderList);
    if (!ShowPropertiesDialog(target.Owner, items))
        return Failure(GetLastError() != 0 ? GetLastError() : ENOSYS);
    return TShellResult::Ok();
}
