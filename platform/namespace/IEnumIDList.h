#pragma once

#include "platform/core/ids/TItemIdList.h"

// A running enumeration of a folder's items, one at a time.
class IEnumIDList
{
public:
    virtual ~IEnumIDList() = default;

    // The next item as a one-item relative list; false at the end and after an
    // error, which Error() then tells apart.
    [[nodiscard]] virtual bool Next(TItemIdListPtr& item) = 0;
    // Starts over from the first item.
    virtual void Reset() = 0;
    // The errno value of the failure that ended the enumeration early; 0 while
    // it runs and when it reached its end. A listing that failed is no list of
    // the folder: its callers must not take missing items as gone.
    virtual int Error() const = 0;
};
