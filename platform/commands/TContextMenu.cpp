#include "platform/commands/TContextMenu.h"

#include "platform/commands/AppLauncher.h"
#include "platform/exchange/FileClipboard.h"
#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellConstants.h"
#include "framework/PlainText.h"

#include <QIcon>
#include <QMenu>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <set>

namespace {

constexpr std::string_view kOpenWithPrefix = "openwith:";

TShellResult Failure(int error)
{
    SetLastError(error);
    return TShellResult::Fail(error);
}

TContextMenu::TCommand Command(const char* verb, const char* caption, const char* helpText, int group)
{
    TContextMenu::TCommand command;
    command.Verb = verb;
    command.Caption = QString::fromUtf8(caption);
    command.HelpText = QString::fromUtf8(helpText);
    command.Group = group;
    return command;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

QAction* ActionAt(QMenu& menu, int position)
{
    const QList<QAction*> actions = menu.actions();
    return position >= 0 && position < actions.size() ? actions[position] : nullptr;
}

}  // namespace

TContextMenu::TContextMenu(TItemIdListPtr folderList, std::string folderPath, std::vector<TMenuItem> items)
    : folderList_(std::move(folderList))
    , folderPath_(std::move(folderPath))
    , items_(std::move(items))
{
}

bool TContextMenu::AllItemsHave(std::uint32_t attributes) const
{
    return std::all_of(items_.begin(), items_.end(),
                       [&](const TMenuItem& item) { return (item.Attributes & attributes) == attributes; });
}

std::vector<TContextMenu::TCommand> TContextMenu::AvailableCommands(std::uint32_t flags) const
{
    std::vector<TCommand> commands;
    if (items_.empty()) {
        if (!folderPath_.empty() && ClipboardHasFiles())
            commands.push_back(
                Command("paste", "Einfügen", "Fügt die Dateien aus der Zwischenablage in diesen Ordner ein.", 0));
        commands.push_back(Command("properties", "Eigenschaften", "Zeigt die Eigenschaften dieses Ordners an.", 1));
        return commands;
    }
    const bool inTrash =
        std::all_of(items_.begin(), items_.end(), [](const TMenuItem& item) { return item.IsTrashEntry; });
    if (inTrash) {
        commands.push_back(
            Command("undelete", "Wiederherstellen", "Stellt die Elemente an ihrem ursprünglichen Ort wieder her.", 0));
        commands.push_back(Command("delete", "Endgültig löschen", "Löscht die Elemente endgültig.", 1));
        commands.push_back(Command("properties", "Eigenschaften", "Zeigt die Eigenschaften der Elemente an.", 2));
        return commands;
    }
    AddItemCommands(commands, flags);
    return commands;
}

void TContextMenu::AddItemCommands(std::vector<TCommand>& commands, std::uint32_t flags) const
{
    const bool allHavePaths = std::none_of(
        items_.begin(), items_.end(), [](const TMenuItem& item) { return item.Path.empty() || item.IsTrashEntry; });
    if (allHavePaths) {
        commands.push_back(Command("open", "Öffnen", "Öffnet die Elemente mit ihrer Standardanwendung.", 0));
        AddOpenWithCommands(commands);
    }
    if (allHavePaths && AllItemsHave(SFGAO_CANMOVE))
        commands.push_back(Command("cut", "Ausschneiden", "Verschiebt die Elemente beim nächsten Einfügen.", 1));
    if (allHavePaths && AllItemsHave(SFGAO_CANCOPY))
        commands.push_back(Command("copy", "Kopieren", "Kopiert die Elemente in die Zwischenablage.", 1));
    if (items_.size() == 1 && allHavePaths && AllItemsHave(SFGAO_FOLDER) && ClipboardHasFiles())
        commands.push_back(
            Command("paste", "Einfügen", "Fügt die Dateien aus der Zwischenablage in diesen Ordner ein.", 1));
    if (allHavePaths && AllItemsHave(SFGAO_CANLINK))
        commands.push_back(Command("link", "Verknüpfung erstellen", "Erstellt Verknüpfungen mit den Elementen.", 2));
    if (AllItemsHave(SFGAO_CANDELETE))
        commands.push_back(Command("delete", "Löschen", "Verschiebt die Elemente in den Papierkorb.", 2));
    if ((flags & CMF_CANRENAME) && items_.size() == 1 && AllItemsHave(SFGAO_CANRENAME))
        commands.push_back(Command("rename", "Umbenennen", "Benennt das Element um.", 2));
    commands.push_back(Command("properties", "Eigenschaften", "Zeigt die Eigenschaften der Elemente an.", 3));
}

void TContextMenu::AddOpenWithCommands(std::vector<TCommand>& commands) const
{
    if (std::any_of(items_.begin(), items_.end(),
                    [](const TMenuItem& item) { return (item.Attributes & SFGAO_FOLDER) != 0; }))
        return;
    // The applications that take every one of the files, in the order of the first.
    const IAppLauncherPtr launcher = GetAppLauncher();
    std::vector<TAppInfo> apps = launcher->AppsForType(MimeTypeOfFile(items_.front().Path));
    std::set<std::string> typesSeen{MimeTypeOfFile(items_.front().Path)};
    for (std::size_t i = 1; i < items_.size() && !apps.empty(); ++i) {
        const std::string mimeType = MimeTypeOfFile(items_[i].Path);
        if (!typesSeen.insert(mimeType).second)
            continue;
        std::set<std::string> ids;
        for (const TAppInfo& app : launcher->AppsForType(mimeType))
            ids.insert(app.Id);
        std::erase_if(apps, [&](const TAppInfo& app) { return !ids.contains(app.Id); });
    }
    for (const TAppInfo& app : apps) {
        TCommand command;
        command.Verb = std::string(kOpenWithPrefix) + app.Id;
        command.Caption = app.Name;
        command.HelpText = QStringLiteral("Öffnet die Elemente mit %1.").arg(app.Name);
        command.InSubmenu = true;
        command.IconName = app.IconName;
        commands.push_back(std::move(command));
    }
}

TShellResult TContextMenu::QueryContextMenu(QMenu& menu, int position, unsigned firstId, unsigned lastId,
                                            std::uint32_t flags, unsigned& idCount)
{
    idCount = 0;
    queried_ = AvailableCommands(flags);
    if (flags & CMF_DEFAULTONLY)
        queried_.resize(std::min<std::size_t>(queried_.size(), 1));
    if (lastId < firstId)
        return Failure(EINVAL);
    queried_.resize(std::min<std::size_t>(queried_.size(), std::size_t(lastId - firstId) + 1));

    QAction* before = ActionAt(menu, position);
    QMenu* openWith = nullptr;
    int group = queried_.empty() ? 0 : queried_.front().Group;
    for (std::size_t offset = 0; offset < queried_.size(); ++offset) {
        const TCommand& command = queried_[offset];
        if (command.Group != group) {
            menu.insertSeparator(before);
            group = command.Group;
        }
        QMenu* parent = &menu;
        if (command.InSubmenu) {
            if (!openWith) {
                openWith = new QMenu(QStringLiteral("Öffnen mit"), &menu);  // owned by the menu
                menu.insertMenu(before, openWith);
            }
            parent = openWith;
        }
        // Captions of "Öffnen mit" are application names from desktop entries.
        auto* action = new QAction(PlainMenuText(command.Caption), parent);  // owned by its menu
        action->setData(firstId + static_cast<unsigned>(offset));
        action->setStatusTip(command.HelpText);
        if (!command.IconName.isEmpty())
            action->setIcon(QIcon::fromTheme(command.IconName));
        if (command.InSubmenu)
            openWith->addAction(action);
        else
            menu.insertAction(before, action);
        if (offset == 0)
            menu.setDefaultAction(action);
    }
    idCount = static_cast<unsigned>(queried_.size());
    return TShellResult::Ok();
}

TShellResult TContextMenu::GetCommandString(unsigned offset, TCommandString kind, std::string& text)
{
    text.clear();
    if (offset >= queried_.size())
        return Failure(EINVAL);
    text = kind == TCommandString::Verb ? queried_[offset].Verb : queried_[offset].HelpText.toStdString();
    return TShellResult::Ok();
}

bool TContextMenu::HasVerb(const std::string& verb) const
{
    const std::vector<TCommand> commands = AvailableCommands(CMF_EXPLORE | CMF_CANRENAME);
    return std::any_of(commands.begin(), commands.end(),
                       [&](const TCommand& command) { return EqualsIgnoringCase(command.Verb, verb); });
}

TShellResult TContextMenu::InvokeCommand(const TInvokeCommandInfo& info)
{
    std::string verb = info.Verb;
    if (verb.empty()) {
        if (info.CommandOffset < 0 || static_cast<std::size_t>(info.CommandOffset) >= queried_.size())
            return Failure(EINVAL);
        verb = queried_[static_cast<std::size_t>(info.CommandOffset)].Verb;
    } else if (EqualsIgnoringCase(verb, "default")) {
        const std::vector<TCommand> commands = AvailableCommands(CMF_DEFAULTONLY);
        if (commands.empty())
            return Failure(ENOENT);
        verb = commands.front().Verb;
    }
    if (!HasVerb(verb))
        return Failure(EINVAL);
    return RunVerb(verb, info.Owner);
}

TShellResult TContextMenu::RunVerb(const std::string& verb, QWidget* owner) const
{
    const TCommandTarget target{folderList_.get(), folderPath_, &items_, owner};
    auto is = [&](std::string_view name) { return EqualsIgnoringCase(verb, name); };
    if (is("open"))
        return RunOpen(target);
    if (verb.starts_with(kOpenWithPrefix))
        return RunOpenWith(target, verb.substr(kOpenWithPrefix.size()));
    if (is("cut") || is("copy"))
        return RunPutOnClipboard(target, is("cut"));
    if (is("paste"))
        return RunPaste(items_.empty() ? folderPath_ : items_.front().Path, owner);
    if (is("link"))
        return RunLink(target);
    if (is("delete"))
        return RunDelete(target);
    if (is("undelete"))
        return RunUndelete(target);
    if (is("properties"))
        return RunProperties(target);
    // "rename" is offered for the caller, which edits the name in place.
    return Failure(ENOTSUP);
}
