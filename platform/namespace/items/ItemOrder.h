#pragma once

#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"

#include <string>

// The order of the namespace by name (column 0): virtual folders in the
// desktop's order, then volumes by mount point, then folders before files, then
// names in natural order. 0 only for the same item.
int CompareItemsByName(const TItemView& a, const TItemView& b);

// A key of a list of one item whose byte order (as std::string compares) is
// CompareItemLists's by column 0; equal keys for items that compare equal.
std::string NameOrderKey(const TItemIdList* item);

// Orders two relative lists of a folder by a column of that folder; lists
// through the same folders are ordered level by level, a parent before what it
// holds. Other columns order by their value, ties by column 0. Malformed lists
// order after well-formed ones.
int CompareItemLists(const TItemContext& context, int column, const TItemIdList* a, const TItemIdList* b);
