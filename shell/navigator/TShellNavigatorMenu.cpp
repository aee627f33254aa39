// The shell context menu of a TShellNavigator's objects, merged with a pane's
// own menu, and running verbs without a menu.
#include "shell/navigator/TShellNavigator.h"

#include "framework/TCursorGuard.h"
#include "platform/commands/IContextMenu.h"
#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellConstants.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/ShellPaths.h"

#include <QMenu>
#include <QPoint>
#include <QSet>

#include <cerrno>

namespace {

// Shell command ids of a context menu shown to the user, and of one only
// queried for a verb.
constexpr unsigned kFirstMenuId = 1;
constexpr unsigned kLastMenuId = 255;
constexpr unsigned kLastHiddenMenuId = 0x7FFF;

const QString kDefaultVerb = QStringLiteral("default");

// Empties a navigator's command objects on every way out of a command.
class TClearOnExit
{
public:
    explicit TClearOnExit(TShellNavigator& navigator)
        : navigator_(navigator)
    {
    }
    ~TClearOnExit() { navigator_.ClearCommandObjects(); }
    TClearOnExit(const TClearOnExit&) = delete;
    TClearOnExit& operator=(const TClearOnExit&) = delete;

private:
    TShellNavigator& navigator_;
};

// Every action of a menu and its submenus.
void CollectActions(const QMenu& menu, QSet<const QAction*>& actions)
{
    for (const QAction* action : menu.actions()) {
        actions.insert(action);
        if (const QMenu* submenu = action->menu())
            CollectActions(*submenu, actions);
    }
}

bool IsRestrictedVerb(const QString& verb)
{
    return verb.compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0 ||
           verb.compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0 ||
           verb.compare(QLatin1String("paste"), Qt::CaseInsensitive) == 0;
}

bool IsDeleteVerb(const QString& verb)
{
    return verb.compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::string TShellNavigator::CommandTargetPath() const
{
    if (!commandObjects_.empty()) {
        const TItemIdListPtr absolute = ConcatIDLists(folderList_.get(), commandObjects_.front().get());
        return GetPathFromIDList(absolute.get());
    }
    if (multiObjects_.IsEmpty())
        return FolderPath() + ObjectNameBytes();
    const std::string& first = multiObjects_.GetBytes(0);
    return DrivePart(first).empty() ? FolderPath() + first : first;
}

bool TShellNavigator::VerbAllowed(const QString& verb)
{
    if (OnContextMenuSelect) {
        bool execute = true;
        OnContextMenuSelect(verb, execute);
        return execute;
    }
    return !(restricted_ && IsRestrictedVerb(verb));
}

QString TShellNavigator::ShowContextMenu(const QPoint& screenPoint, QMenu* callerMenu)
{
    const std::string target = CommandTargetPath();
    const auto shellMenu = std::dynamic_pointer_cast<IContextMenu>(GetObjectInterface(TUIObjectKind::ContextMenu));
    if (!shellMenu)
        return {};

    // The caller's actions go into a menu of our own, shared rather than
    // copied, so that their handlers, states and submenus stay theirs.
    QMenu menu(GetOwnerWindow());
    QSet<const QAction*> callerActions;
    if (callerMenu) {
        emit callerMenu->aboutToShow();
        menu.addActions(callerMenu->actions());
        CollectActions(*callerMenu, callerActions);
    }
    const int callerCount = static_cast<int>(menu.actions().size());
    QAction* separator = nullptr;
    if (callerCount > 0) {
        separator = showContextMenuOnTop_ ? menu.insertSeparator(menu.actions().constFirst()) : menu.addSeparator();
    }
    const std::uint32_t flags = CMF_EXPLORE | (OnRename ? CMF_CANRENAME : 0);
    unsigned idCount = 0;
    const int position = showContextMenuOnTop_ ? 0 : -1;
    if (shellMenu->QueryContextMenu(menu, position, kFirstMenuId, kLastMenuId, flags, idCount).Failed())
        return {};
    if (separator && idCount == 0)
        menu.removeAction(separator);

    QAction* chosen = menu.exec(screenPoint);
    // A caller's action has run its own handler already.
    if (!chosen || callerActions.contains(chosen))
        return {};
    const unsigned id = MenuCommandId(chosen);
    if (id < kFirstMenuId || id > kLastMenuId)
        return {};
    std::string verbText;
    if (shellMenu->GetCommandString(id - kFirstMenuId, TCommandString::Verb, verbText).Failed())
        return {};
    QString verb = QString::fromUtf8(verbText);
    if (!VerbAllowed(verb))
        return {};
    if (verb.compare(QLatin1String("rename"), Qt::CaseInsensitive) == 0 && OnRename) {
        OnRename(*this);
    } else {
        TInvokeCommandInfo info;
        info.CommandOffset = static_cast<int>(id - kFirstMenuId);
        info.Owner = GetOwnerWindow();
        const TShellResult result = shellMenu->InvokeCommand(info);
        if (result.Failed()) {
            SetLastError(result.Error());
            verb.clear();
        }
    }
    // A deletion the user cancelled leaves the object where it was.
    if (IsDeleteVerb(verb) && PathExists(target))
        verb.clear();
    return verb;
}

bool TShellNavigator::InvokeCommand(const QString& verb)
{
    const TClearOnExit clear(*this);
    if (OnContextMenuSelect) {
        bool execute = true;
        OnContextMenuSelect(verb, execute);
        if (!execute)
            return false;
    }
    if ((!object_ && !HasCommandObjects()) || !folder_) {
        SetLastError(ENOENT);
        return false;
    }
    const QString command = verb.isEmpty() ? kDefaultVerb : verb;
    if (IsDeleteVerb(command) && !HasCommandObjects() && !GetAttributes(SFGAO_CANDELETE)) {
        SetLastError(EACCES);
        return false;
    }
    const TCursorGuard hourglass;
    const std::string target = CommandTargetPath();
    const auto shellMenu = std::dynamic_pointer_cast<IContextMenu>(GetObjectInterface(TUIObjectKind::ContextMenu));
    if (!shellMenu)
        return false;

    QMenu hiddenMenu;
    TShellResult result = TShellResult::Ok();
    unsigned idCount = 0;
    TInvokeCommandInfo info;
    info.Owner = GetOwnerWindow();
    if (command.compare(QLatin1String("rename"), Qt::CaseInsensitive) == 0 && OnRename) {
        OnRename(*this);
        return true;
    }
    if (command == kDefaultVerb) {
        result = shellMenu->QueryContextMenu(hiddenMenu, -1, kFirstMenuId, kLastHiddenMenuId, CMF_DEFAULTONLY, idCount);
        const unsigned id = MenuCommandId(hiddenMenu.defaultAction());
        if (result.Succeeded() && id >= kFirstMenuId) {
            info.CommandOffset = static_cast<int>(id - kFirstMenuId);
            result = shellMenu->InvokeCommand(info);
        }
    } else {
        result = shellMenu->QueryContextMenu(hiddenMenu, -1, kFirstMenuId, kLastHiddenMenuId, CMF_EXPLORE, idCount);
        if (result.Succeeded()) {
            info.Verb = command.toStdString();
            result = shellMenu->InvokeCommand(info);
        }
    }
    if (result.Failed()) {
        SetLastError(result.Error());
        return false;
    }
    return !(IsDeleteVerb(command) && PathExists(target));
}
