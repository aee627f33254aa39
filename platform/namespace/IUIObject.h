#pragma once

#include <memory>

// What a folder is asked to make for some of its items (GetUIObjectOf): a
// context menu, a data object for dragging or the clipboard, a drop target, an
// info tip or a thumbnail extractor.
enum class TUIObjectKind {
    ContextMenu,   // IContextMenu
    DataObject,    // IDataObject
    DropTarget,    // IDropTarget
    QueryInfo,     // info tip
    ExtractImage,  // thumbnail extractor
};

// The common base of the objects a folder hands out for its items; the caller
// casts to the class its kind names (std::dynamic_pointer_cast).
class IUIObject
{
public:
    virtual ~IUIObject() = default;
};

using IUIObjectPtr = std::shared_ptr<IUIObject>;
