#include "platform/exchange/TFolderDropTarget.h"

#include "platform/exchange/DropEffects.h"
#include "platform/fileops/FileOperations.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/exchange/ShellIDListArray.h"
#include "platform/namespace/ShellNamespace.h"

#include <QMimeData>

#include <cerrno>
#include <sys/stat.h>

namespace {

std::string ParentOf(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// True when `path` is `folder` or lies below it.
bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (path == folder)
        return true;
    const std::string prefix = folder == "/" ? folder : folder + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

bool SameDevice(const std::string& source, const std::string& folder)
{
    struct stat sourceStatus;
    struct stat folderStatus;
    return ::lstat(source.c_str(), &sourceStatus) == 0 && ::stat(folder.c_str(), &folderStatus) == 0 &&
           sourceStatus.st_dev == folderStatus.st_dev;
}

// The files of a drag: the file-list formats, else the paths of our own id lists.
std::optional<TFileList> FilesOf(const QMimeData& data)
{
    if (std::optional<TFileList> list = ReadFileList(data))
        return list;
    TShellIDListArray array;
    if (!data.hasFormat(kShellIDListArrayMime) || !DecodeShellIDListArray(data.data(kShellIDListArrayMime), array))
        return std::nullopt;
    TFileList list;
    for (const TItemIdListPtr& child : array.Children) {
        const TItemIdListPtr absolute = ConcatIDLists(array.Parent.get(), child.get());
        if (std::string path = SHGetPathFromIDList(absolute.get()); !path.empty())
            list.Paths.push_back(std::move(path));
    }
    if (list.Paths.empty())
        return std::nullopt;
    return list;
}

}  // namespace

TFolderDropTarget::TFolderDropTarget(std::string folderPath, TKind kind, QWidget* owner)
    : folderPath_(WithoutTrailingSlash(std::move(folderPath)))
    , kind_(kind)
    , owner_(owner)
{
}

void TFolderDropTarget::TakeFiles(const QMimeData& data)
{
    files_ = FilesOf(data);
    sameVolume_ = files_ && kind_ == TKind::Folder && SameDevice(files_->Paths.front(), folderPath_);
}

TDropEffects TFolderDropTarget::UsableEffects(TDropEffects allowed) const
{
    if (!files_)
        return {};
    TDropEffects usable = allowed & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    if (kind_ == TKind::Trash) {
        for (const std::string& path : files_->Paths) {
            if (IsAtOrBelow(WithoutTrailingSlash(path), folderPath_))
                return {};
        }
        return usable & DROPEFFECT_MOVE;
    }
    bool allInFolder = true;
    for (const std::string& source : files_->Paths) {
        const std::string path = WithoutTrailingSlash(source);
        if (IsAtOrBelow(folderPath_, path))
            usable &= ~(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        allInFolder = allInFolder && ParentOf(path) == folderPath_;
    }
    if (allInFolder)
        usable &= ~DROPEFFECT_MOVE;
    return usable;
}

TDropEffects TFolderDropTarget::EffectFor(std::uint32_t keyState, TDropEffects allowed) const
{
    const TDropEffects usable = UsableEffects(allowed);
    return kind_ == TKind::Trash ? usable : ChooseDropEffect(keyState, usable, sameVolume_);
}

TShellResult TFolderDropTarget::DragEnter(const QMimeData& data, std::uint32_t keyState, QPoint, TDropEffects& effect)
{
    TakeFiles(data);
    lastKeyState_ = keyState;
    effect = EffectFor(keyState, effect);
    return TShellResult::Ok();
}

TShellResult TFolderDropTarget::DragOver(std::uint32_t keyState, QPoint, TDropEffects& effect)
{
    lastKeyState_ = keyState;
    effect = EffectFor(keyState, effect);
    return TShellResult::Ok();
}

TShellResult TFolderDropTarget::DragLeave()
{
    files_.reset();
    lastKeyState_ = 0;
    return TShellResult::Ok();
}

TDropEffects TFolderDropTarget::AskEffect(TDropEffects usable, TDropEffects proposed, QPoint point) const
{
    struct TChoice
    {
        TDropEffect effect;
        const char* caption;
    };
    static constexpr TChoice kChoices[] = {
        {DROPEFFECT_COPY, "Hierher kopieren"},
        {DROPEFFECT_MOVE, "Hierher verschieben"},
        {DROPEFFECT_LINK, "Verknüpfung hier erstellen"},
    };
    TMessageRequest request;
    request.Owner = owner_;
    request.Style = TMessageStyle::PopupMenu;
    request.Position = point;
    std::vector<TDropEffect> effects;
    for (const TChoice& choice : kChoices) {
        if (usable.testFlag(choice.effect)) {
            if (choice.effect == proposed)
                request.DefaultButton = static_cast<int>(effects.size());
            request.Buttons.append(QString::fromUtf8(choice.caption));
            effects.push_back(choice.effect);
        }
    }
    request.Buttons.append(QStringLiteral("Abbrechen"));
    request.EscapeButton = static_cast<int>(effects.size());
    const TMessageAnswer answer = ShowMessageBox(request);
    if (answer.Button < 0 || answer.Button >= static_cast<int>(effects.size()))
        return {};
    return effects[static_cast<std::size_t>(answer.Button)];
}

TDropEffects TFolderDropTarget::Perform(TDropEffects effect, int& error) const
{
    TFileOperationRequest request;
    request.Sources = files_->Paths;
    request.Owner = owner_;
    if (kind_ == TKind::Trash) {
        request.Kind = TFileOperationKind::Trash;
    } else {
        request.TargetFolder = folderPath_;
        request.Kind = effect == DROPEFFECT_COPY   ? TFileOperationKind::Copy
                       : effect == DROPEFFECT_MOVE ? TFileOperationKind::Move
                                                   : TFileOperationKind::Link;
    }
    const TFileOperationResult result = RunFileOperation(request);
    error = result.Completed || result.Cancelled ? 0 : (result.Error != 0 ? result.Error : EIO);
    return result.Completed ? effect : TDropEffects();
}

TShellResult TFolderDropTarget::Drop(const QMimeData& data, std::uint32_t keyState, QPoint point, TDropEffects& effect)
{
    const bool rightButton = ((keyState | lastKeyState_) & MK_RBUTTON) != 0;
    TakeFiles(data);
    const TDropEffects allowed = effect;
    effect = EffectFor(keyState, allowed);
    if (const TDropEffects usable = UsableEffects(allowed); rightButton && usable && kind_ == TKind::Folder)
        effect = AskEffect(usable, effect, point);
    int error = 0;
    if (effect)
        effect = Perform(effect, error);
    static_cast<void>(DragLeave());  // only ends the drag's state
    if (error != 0) {
        SetLastError(error);
        return TShellResult::Fail(error);
    }
    return TShellResult::Ok();
}
