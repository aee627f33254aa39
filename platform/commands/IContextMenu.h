#pragma once

#include "platform/namespace/IUIObject.h"
#include "platform/core/ids/TShellResult.h"

#include <QAction>
#include <QVariant>

#include <cstdint>
#include <string>

class QMenu;
class QWidget;

// Flags of QueryContextMenu.
constexpr std::uint32_t CMF_NORMAL = 0x0000;
constexpr std::uint32_t CMF_DEFAULTONLY = 0x0001;  // only the default item
constexpr std::uint32_t CMF_EXPLORE = 0x0004;      // asked by a file manager's pane
constexpr std::uint32_t CMF_CANRENAME = 0x0010;    // the caller renames in place: offer "rename"

// What GetCommandString answers for a command.
enum class TCommandString {
    Verb,      // the language-independent verb ("open", "delete" ...)
    HelpText,  // a German line for the status bar
};

// A command to run: by verb (when Verb is set) or by its offset from the first
// id given to QueryContextMenu. Owner none: no error dialogs (confirmations
// still appear).
struct TInvokeCommandInfo
{
    std::string Verb;
    int CommandOffset = -1;
    QWidget* Owner = nullptr;
};

// The context menu of some items of one folder, or of the folder itself.
class IContextMenu : public IUIObject
{
public:
    // Adds the commands that apply to `menu` before the action at `position`
    // (at the end when there is none), with ids from firstId on, never past
    // lastId; each QAction carries its id as data (see MenuCommandId) and the
    // default command is the menu's default action. `idCount` gets the number
    // of ids used (largest offset + 1).
    virtual TShellResult QueryContextMenu(QMenu& menu, int position, unsigned firstId, unsigned lastId,
                                          std::uint32_t flags, unsigned& idCount) = 0;
    // The verb or help text of the command at `offset` (id - firstId) of the
    // last QueryContextMenu; UTF-8.
    virtual TShellResult GetCommandString(unsigned offset, TCommandString kind, std::string& text) = 0;
    // Runs a command; "default" runs the default one. Failures set the last
    // error; a cancelled command fails with ECANCELED.
    virtual TShellResult InvokeCommand(const TInvokeCommandInfo& info) = 0;
};

using IContextMenuPtr = std::shared_ptr<IContextMenu>;

// The command id a context menu gave an action; 0 for none (separators,
// submenus, actions of others).
inline unsigned MenuCommandId(const QAction* action)
{
    return action ? action->data().toUInt() : 0u;
}
