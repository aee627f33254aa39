#pragma once

#include "platform/namespace/IUIObject.h"

#include <QMimeData>

#include <memory>
#include <string>
#include <vector>

// Items packed for a drag or the clipboard in every format other programs
// and our own panes read.
class IDataObject : public IUIObject
{
public:
    // A fresh QMimeData with all formats (QDrag and QClipboard take ownership);
    // `cut` marks the files as cut, so that a paste moves them.
    virtual std::unique_ptr<QMimeData> CreateMimeData(bool cut) const = 0;
    // The local paths of the items (native bytes), in order.
    virtual const std::vector<std::string>& FileNames() const = 0;
};

using IDataObjectPtr = std::shared_ptr<IDataObject>;
