#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <QByteArray>

#include <span>
#include <vector>

// Item id lists of a drag or the clipboard, in the shell's array layout under
// a MIME type of our own, so that our panes get the items themselves back:
//   u32 count of children
//   u32 offsets[count + 1]     from the start of the block; [0] the parent
//   the parent's absolute list, then each child's list relative to it
// All numbers little-endian.
inline constexpr char kShellIDListArrayMime[] = "application/x-parzello-shell-idlist-array";

QByteArray EncodeShellIDListArray(const TItemIdList* parent, std::span<const TItemIdList* const> children);

struct TShellIDListArray
{
    TItemIdListPtr Parent;
    std::vector<TItemIdListPtr> Children;
};

// False for a block that is not well formed (offsets outside it, lists
// without their terminator).
[[nodiscard]] bool DecodeShellIDListArray(const QByteArray& block, TShellIDListArray& result);
