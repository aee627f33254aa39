#pragma once

#include "platform/core/ids/TItemIdList.h"

// A running enumeration of a folder's items, one at a time.
class IEnumIDList
{
public:
    virtual ~IEnumIDList() = default;

    // The next item as a one-item relative list; false at the end (and after an
    // error, which is left as the last error).
    [[nodiscard]] virtual bool Next(TItemIdListPtr& item) = 0;
    // Starts over from the first item.
    virtual void Reset() = 0;
};
