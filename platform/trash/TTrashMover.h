#pragma once

#include <optional>
#include <string>

#include "platform/trash/TTrash.h"

// Moves items into the user's trash and back, after the freedesktop.org
// trash layout.
//
// An item goes to the home trash when it lies on the home trash's volume,
// else to its volume's trash ($topdir/.Trash/$uid or $topdir/.Trash-$uid,
// made with mode 0700 when missing, used only when trusted: see
// TTrash::IsTrusted; else the item has no trash). Memory and system file systems (tmpfs
// and the others the mount table calls system-internal) and mounts with the
// option x-gvfs-notrash take no trash: deleting there is for good.
//
// Trashing writes NAME.trashinfo into info/ first, created with O_EXCL so
// that two programs trashing the same name never share one, then renames
// the item to files/NAME, never replacing anything (also where the file
// system knows no RENAME_NOREPLACE). A taken name gets a number: "a.txt.2",
// "a.txt.3" ...; a name too long for NAME.trashinfo is cut short and marked
// "~1", "~2" ... (the original name stays in Path=). Path= is the original path URI-escaped, relative to the top
// directory in a volume's trash; DeletionDate= is local time.
class TTrashMover
{
public:
    // The trash directory that takes `path`, made ready for use; nothing and
    // `error` set when its volume takes no trash or the directory cannot
    // be made.
    static std::optional<TTrashDirectory> TrashFor(const std::string& path, int& error);

    // Moves `path` into `trash`; 0 and the trashed path, or errno.
    [[nodiscard]] static int MoveToTrash(const std::string& path, const TTrashDirectory& trash,
                                         std::string& trashedPath);

    // The entry of a path inside a trash directory's files/; nothing when
    // the path lies in no trash.
    static std::optional<TTrashEntry> EntryOf(const std::string& trashedPath);

    // The .trashinfo text for an item deleted from `originalPath` at `when`.
    static std::string TrashInfoText(const std::string& originalPath, const TTrashDirectory& trash, std::time_t when);
};
