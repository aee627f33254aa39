#pragma once

#include "platform/namespace/IEnumIDList.h"
#include "platform/namespace/IUIObject.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/core/ids/TItemIdList.h"
#include "platform/core/ids/TShellResult.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <string>

// One column of a folder's details view: its header (item null) or an item's text.
struct TShellDetails
{
    int format = LVCFMT_LEFT;  // LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER
    int charCount = 0;         // default width in characters
    std::string text;          // UTF-8; in the name column a file name's own bytes
};

// What a directory listing knows of an item (the role of WIN32_FIND_DATA).
struct TFindData
{
    std::string name;             // native bytes of the file name (mount point of a volume)
    std::uint64_t size = 0;       // 0 for folders
    timespec modificationTime{};  // all times in UTC
    timespec accessTime{};
    timespec changeTime{};
    timespec creationTime{};  // birth time where the file system records it, else 0
    std::uint32_t mode = 0;   // st_mode
    bool isFolder = false;
};

class QWidget;
class IShellFolder;
using IShellFolderPtr = std::shared_ptr<IShellFolder>;

// A folder of the namespace. Items passed in are relative to this folder (one
// item, or several for a path below it) and stay the caller's; lists handed out
// are fresh allocations the caller owns. Failures set the layer's last error.
//
// Names are bytes: UTF-8 text for virtual folders, volume labels and other
// texts; a file's own native bytes for file-system items, so that names which are
// not valid UTF-8 survive every round trip. Show them with QFile::decodeName.
class IShellFolder
{
public:
    virtual ~IShellFolder() = default;

    // Parses a name relative to this folder ("a", "a/b/c") or an absolute path
    // inside it; the desktop takes any absolute path.
    virtual TShellResult ParseDisplayName(const std::string& name, TItemIdListPtr& result) = 0;
    // Enumerates the items chosen by SHCONTF_FOLDERS, SHCONTF_NONFOLDERS and
    // SHCONTF_INCLUDEHIDDEN.
    virtual TShellResult EnumObjects(std::uint32_t flags, std::unique_ptr<IEnumIDList>& enumerator) = 0;
    // Binds to a folder below this one.
    virtual TShellResult BindToObject(const TItemIdList* relative, IShellFolderPtr& folder) = 0;
    // Orders two items by a column; the order is in the result's low 16 bits.
    virtual TShellResult CompareIDs(int column, const TItemIdList* a, const TItemIdList* b) = 0;
    // A key of one item whose byte order (as std::string compares) is that of
    // CompareIDs by the column for items of one level, so that a sort of many
    // items makes one key per item instead of comparing items at every step.
    // Fails for a column without such keys.
    virtual TShellResult GetOrderKey(int column, const TItemIdList* item, std::string& key) = 0;
    // `attributes` holds the SFGAO_ bits asked for; it receives those that every
    // item has. Only the asked bits are computed.
    virtual TShellResult GetAttributesOf(std::span<const TItemIdList* const> items, std::uint32_t& attributes) = 0;
    // SHGDN_NORMAL, or SHGDN_FORPARSING for a name that parses back (a full path
    // where there is one); SHGDN_INFOLDER for the name relative to this folder.
    virtual TShellResult GetDisplayNameOf(const TItemIdList* item, std::uint32_t flags, std::string& name) = 0;
    // Renames an item; `newItem` (if given) receives the renamed item.
    virtual TShellResult SetNameOf(const TItemIdList* item, const std::string& newName, std::uint32_t flags,
                                   TItemIdListPtr* newItem) = 0;
    // A column's header (item null) or an item's text in it; fails past the last column.
    virtual TShellResult GetDetailsOf(const TItemIdList* item, int column, TShellDetails& details) = 0;
    // SHCOLSTATE_ bits of a column: its value type and whether it shows by default.
    virtual TShellResult GetDefaultColumnState(int column, std::uint32_t& state) = 0;
    // Size, times and name of an item, fresh from the file system.
    virtual TShellResult GetFindData(const TItemIdList* item, TFindData& data) = 0;
    // Makes a UI object of `kind` for items of this folder (see
    // platform/namespace/IUIObject.h); without items, the folder's own: its menu as a
    // target to paste into, or its drop target. `owner` is the window that
    // error messages belong to (none: no error dialogs).
    virtual TShellResult GetUIObjectOf(QWidget* owner, std::span<const TItemIdList* const> items, TUIObjectKind kind,
                                       IUIObjectPtr& object) = 0;

    // The folder's own absolute list and its path ("" for a folder without one).
    virtual const TItemIdList* GetIDList() const = 0;
    virtual const std::string& GetPath() const = 0;
};
