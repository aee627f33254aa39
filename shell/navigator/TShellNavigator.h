#pragma once

#include "platform/namespace/IShellFolder.h"
#include "platform/namespace/IUIObject.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/core/ids/TItemIdList.h"
#include "shell/navigator/TFileNames.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QPoint;
class QWidget;

// The layout of a details column: LVCFMT_ alignment and width in pixels (0:
// hidden by default).
struct TDetailColumn
{
    int Alignment = 0;
    int Width = 120;
};

// A pane's cursor on the shell namespace: one current folder and, inside it,
// one current object. It navigates (to a path, an item id list, a special
// folder, the parent), enumerates the folder's objects one at a time with the
// visibility and filter rules, answers questions about the current object and
// runs shell commands on it.
//
// Queries never throw: failures give "", 0, -1, null or false. Navigation
// throws EShellNavigatorError and leaves the folder as it was.
//
// Paths and object names come in two forms: QString for showing and typing,
// and the file names' own bytes (FolderPath, ObjectNameBytes) for building
// paths, so that names which are not valid UTF-8 survive.
class TShellNavigator : public QObject
{
public:
    explicit TShellNavigator(QObject* owner = nullptr);
    ~TShellNavigator() override;

    // --- Properties -------------------------------------------------------
    // Semicolon-separated name patterns that non-folder objects must match.
    QString Filter() const;
    void SetFilter(const QString& filter);
    // The current folder's path with a trailing "/" ("" for virtual folders).
    // Writing navigates; "" goes to the computer folder.
    QString Folder() const;
    void SetFolder(const QString& path);
    std::string FolderPath() const;
    void SetFolderPath(const std::string& path);
    // The current object's name; writing selects an object by name or path.
    // Names match exactly (file name or display name); none raises
    // EShellNavigatorError.
    QString ObjectName() const;
    void SetObjectName(const QString& name);
    std::string ObjectNameBytes() const;
    void SetObjectNameBytes(const std::string& name);
    bool FileSystemOnly() const { return fileSystemOnly_; }
    void SetFileSystemOnly(bool value) { fileSystemOnly_ = value; }
    // Callers fill it before a command; every command empties it.
    TFileNames& MultiObjects() { return multiObjects_; }
    // The objects of the next command by their ids in the current folder
    // (copied): they take the place of MultiObjects and are handed to the
    // command as they are, never looked up by a name another object may
    // share, and the folder stays where it is. Every command empties them.
    void SetCommandObjects(const std::vector<const TItemIdList*>& relative);
    bool HasCommandObjects() const { return !commandObjects_.empty() || !multiObjects_.IsEmpty(); }
    // Empties MultiObjects and the command objects.
    void ClearCommandObjects();
    bool ShowErrorMessages() const { return showErrorMessages_; }
    void SetShowErrorMessages(bool value) { showErrorMessages_ = value; }
    bool ShowContextMenuOnTop() const { return showContextMenuOnTop_; }
    void SetShowContextMenuOnTop(bool value) { showContextMenuOnTop_ = value; }
    // Which special folder the current folder is (SF_FILESYSTEMFOLDER for
    // none); writing navigates there, and a failure leaves the folder as it was.
    TPzShellFolder SpecialFolder() const;
    void SetSpecialFolder(TPzShellFolder value);
    QString Version() const;
    void SetVersion(const QString&) {}
    // Refuses "delete", "cut" and "paste" chosen from the context menu.
    bool Restricted() const { return restricted_; }
    void SetRestricted(bool value) { restricted_ = value; }
    // Called when the owner is ready; from then on GetOwnerWindow may name it.
    void Loaded() { loaded_ = true; }
    bool IsLoaded() const { return loaded_; }

    // --- Events -----------------------------------------------------------
    // When assigned, "rename" goes to the owner (for in-place editing).
    std::function<void(TShellNavigator& sender)> OnRename;
    // Asked before a command runs; may veto it through `execute`.
    std::function<void(const QString& command, bool& execute)> OnContextMenuSelect;

    // --- Navigation -------------------------------------------------------
    // Lists passed in stay the caller's; Get... results are fresh copies.
    void SetFolderIDList(const TItemIdList* absolute);
    TItemIdListPtr GetFolderIDList() const;
    // The parent of `absolute` becomes the folder, its last item the object;
    // the empty list selects the desktop with no object.
    void SetAbsoluteIDList(const TItemIdList* absolute);
    bool GoToParent();
    [[nodiscard]] bool OpenObjectAsFolder();
    void SetObjectIDList(const TItemIdList* relative);
    TItemIdListPtr GetObjectIDList() const;
    // Folder list plus object item, kept until the object changes; not a copy.
    const TItemIdList* GetAbsoluteIDList() const;
    // The current object's item inside the folder, still owned here.
    const TItemIdList* ObjectIDList() const { return object_.get(); }
    const IShellFolderPtr& FolderInterface() const { return folder_; }

    // Moves to the next object of the folder that passes the rules; false at
    // the end or after a failure (see EnumerationError), after which the next
    // call starts over.
    [[nodiscard]] bool Next();
    // Ends a running enumeration.
    void ResetEnumeration()
    {
        enumerator_.reset();
        enumerationError_ = 0;
    }
    // The errno value of the failure that ended the last enumeration early (the
    // folder could not be opened or a read failed midway); 0 when it ran to its
    // end. After a failure the objects seen are only part of the folder.
    int EnumerationError() const { return enumerationError_; }

    // --- Queries about the current object ----------------------------------
    QString GetDisplayName() const;
    QString GetNetworkName() const;
    std::string GetLinkTarget() const;
    std::uint32_t GetAttributes(std::uint32_t mask) const;
    bool IsFolder() const;
    bool HasSubFolders() const;
    bool IsHidden() const;
    bool IsLink() const;
    bool CanRename() const;
    bool IsPlainFileSystemFolder() const;
    TPzShellFolder GetObjectSpecialFolder() const;
    // The last write time in UTC; invalid when unknown.
    QDateTime GetModificationDate() const;
    // Indexes into the system image lists; -1 when unknown.
    int GetIconIndex() const;
    int GetOpenIconIndex() const;
    int GetOverlayIndex() const;
    int GetDesktopIconIndex() const;
    QString GetDesktopDisplayName() const;
    // Null when ShowErrorMessages is off (the platform then shows no error
    // dialogs); the owner's window once loaded; else the active window.
    QWidget* GetOwnerWindow() const;

    // --- Details and renaming ----------------------------------------------
    // The text of a details column for the current object, or the column's
    // title with `header`; "" past the last column.
    QString GetDetailText(int column, bool header) const;
    TDetailColumn GetDetailColumn(int column) const;
    // Renames the current object; `newName` receives the name it then shows.
    // False (and the last error) on failure, after a message when the owner
    // window allows one.
    [[nodiscard]] bool RenameObject(QString& newName);

    // --- Commands -----------------------------------------------------------
    // A UI object for the command objects, else for the objects of
    // MultiObjects (names in the folder, or paths), or for the current object
    // when both are empty, or for the folder
    // itself when there is neither. Every name must still name an object,
    // exactly as written: one that has gone (deleted or renamed meanwhile)
    // fails the whole request with ENOENT rather than acting on anything else.
    // MultiObjects is emptied in every case; null (and the last error) on failure.
    IUIObjectPtr GetObjectInterface(TUIObjectKind kind);
    // The info tip of the current object (the slow one reads the file); "" when
    // it has none.
    QString GetInfoTip(bool slow);
    // The thumbnail of the current object fitted into width x height (200 x 200
    // when a side is not positive); null when it has none.
    QImage ExtractThumbnail(int width, int height);

    // Shows the shell's context menu of the objects (see GetObjectInterface)
    // at a screen point, with the actions of `callerMenu` (may be null) below
    // or, with ShowContextMenuOnTop, above the shell's. Returns the verb that
    // ran; "" when the menu was closed, one of the caller's actions was chosen,
    // the verb was refused or failed, or a deletion was cancelled.
    QString ShowContextMenu(const QPoint& screenPoint, QMenu* callerMenu);
    // Runs a verb ("" for the default one) on the objects without a menu.
    [[nodiscard]] bool InvokeCommand(const QString& verb);

private:
    void ObjectChanged();
    std::string CommandTargetPath() const;
    bool VerbAllowed(const QString& verb);
    std::vector<TItemIdListPtr> CommandItems();
    TItemIdListPtr ObjectItemByName(const std::string& name);
    void NavigateToPath(const std::string& path);
    void SelectObjectByName(std::string name);
    [[nodiscard]] bool FindObjectByEnumeration(const std::string& name);
    bool PassesFileSystemRule();
    bool PassesFilter() const;
    const TFindData* FindData() const;

    std::string folderPath_;
    TItemIdListPtr folderList_;
    IShellFolderPtr folder_;
    TItemIdListPtr object_;
    mutable TItemIdListPtr absoluteCache_;
    std::unique_ptr<IEnumIDList> enumerator_;
    bool enumeratingNetwork_ = false;
    int enumerationError_ = 0;
    bool fileSystemOnly_ = false;
    TFileNames multiObjects_;
    std::vector<TItemIdListPtr> commandObjects_;
    QStringList filterPatterns_;
    mutable TFindData findData_;
    mutable bool findDataValid_ = false;
    bool loaded_ = false;
    bool restricted_ = false;
    mutable int hasSubFolders_ = -1;
    bool showErrorMessages_ = true;
    bool showContextMenuOnTop_ = false;
};
