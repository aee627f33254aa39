#pragma once

#include "platform/exchange/IDropTarget.h"
#include "shell/navigator/TFileNames.h"

#include <QFlags>
#include <QString>

#include <cstdint>
#include <functional>

class QObject;

// What a file operation that a pane started or saw did, as reported through
// the panes' OnOperation event: a set of these bits.
enum TPzShellOperation : std::uint32_t {
    opCopy = 0x001,
    opMove = 0x002,
    opDragSource = 0x004,  // dragged out of this pane
    opDrop = 0x008,        // dropped onto this pane
    opMovedAway = 0x010,   // entries marked cut have left the folder
    opPaste = 0x020,
    opRemoveSelected = 0x040,  // the pane removes its selected entries itself
    opItemsGone = 0x080,
    opClipboard = 0x100,
    opRename = 0x200,
};
Q_DECLARE_FLAGS(TPzShellOperations, TPzShellOperation)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPzShellOperations)

// The combinations the panes report.
constexpr TPzShellOperations kDeleteOperation = opRemoveSelected | opItemsGone;
constexpr TPzShellOperations kCutItemsGoneOperation = opMovedAway | opItemsGone;
constexpr TPzShellOperations kPasteCopyOperation = opCopy | opPaste | opClipboard;
constexpr TPzShellOperations kPasteMoveOperation = opMove | opPaste | opClipboard;
// Reports with any of these bits make the other panes of a link update their contents.
constexpr TPzShellOperations kItemsChangedMask = opMove | opRemoveSelected | opItemsGone | opRename;

// A paste counts as a copy when its first source still exists as a regular
// file afterwards (or there was none), else as a move: a cut file is gone,
// and a folder never counts as a file that still exists.
TPzShellOperations PasteOperation(const TFileNames& pastedFiles);
// The report of a drag out of a pane that ended with `effect` (drop effect
// bits); 0 for no effect: nothing is reported.
TPzShellOperations DragSourceOperation(TDropEffects effect);
// The report of a drop onto a pane answered with `effect`.
TPzShellOperations DropOperation(TDropEffects effect);

// Sender, operation, the files concerned, the destination ("" when none).
using TOnOperation = std::function<void(QObject* sender, TPzShellOperations operation, const TFileNames& files,
                                        const QString& destination)>;
