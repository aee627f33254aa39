#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/commands/IContextMenu.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/namespace/ShellNamespace.h"

#include <QMenu>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr char kTrashPrefix[] = "::trash/";
// Ids as a pane gives them: the whole range a menu may use.
constexpr unsigned kFirstId = 1;
constexpr unsigned kLastId = 0x7FFF;

// The absolute list of an argument; "::trash/NAME" names an entry of the trash
// by its name in the trash.
TItemIdListPtr ResolveItem(const std::string& argument)
{
    if (argument.rfind(kTrashPrefix, 0) != 0)
        return ResolveTarget(argument);
    const TItemIdListPtr trash = ResolveTarget("::trash");
    const IShellFolderPtr folder = SHBindToFolder(trash.get());
    TItemIdListPtr entry;
    if (!folder || folder->ParseDisplayName(argument.substr(sizeof(kTrashPrefix) - 1), entry).Failed()) {
        PrintLastError(argument);
        return nullptr;
    }
    return ConcatIDLists(trash.get(), entry.get());
}

// The context menu of items that share one folder; with `background` the
// menu of the one folder given, as a target to paste into.
IContextMenuPtr MenuOf(const std::vector<std::string>& arguments, bool background)
{
    std::vector<TItemIdListPtr> absolutes;
    for (const std::string& argument : arguments) {
        TItemIdListPtr absolute = ResolveItem(argument);
        if (!absolute)
            return nullptr;
        absolutes.push_back(std::move(absolute));
    }
    const TItemIdList* first = absolutes.front().get();
    const TItemIdListPtr parent = background ? CloneIDList(first) : TruncateIDList(first, IDListCount(first) - 1);
    std::vector<const TItemIdList*> items;
    for (const TItemIdListPtr& absolute : absolutes) {
        const TItemIdListPtr itsParent = TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1);
        if (!background && (IDListCount(absolute.get()) == 0 || !IDListsEqual(itsParent.get(), parent.get()))) {
            std::fprintf(stderr, "pzshell: the items must lie in one folder\n");
            return nullptr;
        }
        if (!background)
            items.push_back(LastIDListItem(absolute.get()));
    }
    const IShellFolderPtr folder = SHBindToFolder(parent.get());
    IUIObjectPtr object;
    if (!folder || folder->GetUIObjectOf(nullptr, items, TUIObjectKind::ContextMenu, object).Failed()) {
        PrintLastError("context menu");
        return nullptr;
    }
    return std::dynamic_pointer_cast<IContextMenu>(object);
}

void PrintMenu(const QMenu& menu, IContextMenu& contextMenu, const std::string& indent)
{
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            std::printf("%s-\n", indent.c_str());
        } else if (action->menu()) {
            std::printf("%s>\t\t%s\n", indent.c_str(), action->text().toUtf8().constData());
            PrintMenu(*action->menu(), contextMenu, indent + "  ");
        } else {
            const unsigned id = MenuCommandId(action);
            std::string verb;
            static_cast<void>(contextMenu.GetCommandString(id - kFirstId, TCommandString::Verb, verb));  // "" when none
            std::printf("%s%u\t%s\t%s%s\n", indent.c_str(), id, verb.c_str(), action->text().toUtf8().constData(),
                        action == menu.defaultAction() ? "\t(Standard)" : "");
        }
    }
}

// Questions of the commands answered on the terminal: the buttons numbered,
// the answer read from standard input (end of input: Esc), or with `yes` the
// default button taken at once.
TMessageHandler TerminalAnswers(bool yes)
{
    return [yes](const TMessageRequest& request) {
        TMessageAnswer answer;
        const QStringList buttons = request.Buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : request.Buttons;
        std::fprintf(stderr, "%s: %s\n", request.Caption.toUtf8().constData(), request.Text.toUtf8().constData());
        if (yes || buttons.size() == 1) {
            answer.Button = request.DefaultButton;
            return answer;
        }
        for (qsizetype i = 0; i < buttons.size(); ++i)
            std::fprintf(stderr, "  %lld) %s\n", static_cast<long long>(i + 1), buttons[i].toUtf8().constData());
        std::string line;
        answer.Button = request.EscapeButton;
        if (std::getline(std::cin, line)) {
            const int chosen = std::atoi(line.c_str()) - 1;
            if (chosen >= 0 && chosen < buttons.size())
                answer.Button = chosen;
        }
        return answer;
    };
}

}  // namespace

int RunVerbsCommand(const std::vector<std::string>& args)
{
    const bool background = !args.empty() && args.front() == "-b";
    const std::vector<std::string> paths(args.begin() + (background ? 1 : 0), args.end());
    if (paths.empty() || (background && paths.size() != 1)) {
        std::fprintf(stderr, "usage: pzshell verbs PATH... | pzshell verbs -b FOLDER\n");
        return 2;
    }
    const IContextMenuPtr contextMenu = MenuOf(paths, background);
    if (!contextMenu)
        return 1;
    QMenu menu;
    unsigned count = 0;
    if (contextMenu->QueryContextMenu(menu, -1, kFirstId, kLastId, CMF_EXPLORE | CMF_CANRENAME, count).Failed()) {
        PrintLastError("menu");
        return 1;
    }
    PrintMenu(menu, *contextMenu, "");
    return 0;
}

int RunInvokeCommand(const std::vector<std::string>& args)
{
    const bool yes = !args.empty() && args.front() == "-y";
    const std::vector<std::string> rest(args.begin() + (yes ? 1 : 0), args.end());
    if (rest.size() < 2) {
        std::fprintf(stderr, "usage: pzshell invoke [-y] VERB PATH...\n");
        return 2;
    }
    const std::string& verb = rest.front();
    if (verb == "paste" || verb == "cut" || verb == "copy") {
        std::fprintf(stderr, "pzshell: \"%s\" needs the clipboard of a running program\n", verb.c_str());
        return 2;
    }
    const IContextMenuPtr contextMenu = MenuOf({rest.begin() + 1, rest.end()}, false);
    if (!contextMenu)
        return 1;
    const TScopedMessageHandler answers(TerminalAnswers(yes));
    const TShellResult result = contextMenu->InvokeCommand(TInvokeCommandInfo{verb, -1, nullptr});
    if (result.Failed()) {
        if (result.Error() == ECANCELED)
            std::fprintf(stderr, "pzshell: %s: abgebrochen\n", verb.c_str());
        else
            PrintLastError(verb);
        return 1;
    }
    return 0;
}
