#pragma once

#include "platform/commands/ContextMenuCommands.h"
#include "platform/commands/IContextMenu.h"

#include <QString>

#include <vector>

// The context menu of items of one folder, or (without items) of the folder
// itself as a target to paste into. Verbs, in menu order:
//   open "Öffnen" (default; the default application), "Öffnen mit" (files:
//   the applications for their type, verb "openwith:" + desktop file id);
//   cut, copy, paste (one folder item, or the folder itself, with files on the
//   clipboard); link (a symbolic link in the same folder), delete (to the
//   trash), rename (only with CMF_CANRENAME: the caller edits the name);
//   properties. In the trash: undelete "Wiederherstellen" (default), delete
//   "Endgültig löschen", properties.
class TContextMenu final : public IContextMenu
{
public:
    struct TCommand
    {
        std::string Verb;
        QString Caption;
        QString HelpText;
        int Group = 0;           // separators stand between groups
        bool InSubmenu = false;  // an entry of "Öffnen mit"
        QString IconName;
    };

    TContextMenu(TItemIdListPtr folderList, std::string folderPath, std::vector<TMenuItem> items);

    TShellResult QueryContextMenu(QMenu& menu, int position, unsigned firstId, unsigned lastId, std::uint32_t flags,
                                  unsigned& idCount) override;
    TShellResult GetCommandString(unsigned offset, TCommandString kind, std::string& text) override;
    TShellResult InvokeCommand(const TInvokeCommandInfo& info) override;

private:
    // The commands that apply now, in menu order; the first one is the default.
    std::vector<TCommand> AvailableCommands(std::uint32_t flags) const;
    void AddItemCommands(std::vector<TCommand>& commands, std::uint32_t flags) const;
    void AddOpenWithCommands(std::vector<TCommand>& commands) const;
    bool AllItemsHave(std::uint32_t attributes) const;
    bool HasVerb(const std::string& verb) const;
    TShellResult RunVerb(const std::string& verb, QWidget* owner) const;

    TItemIdListPtr folderList_;
    std::string folderPath_;
    std::vector<TMenuItem> items_;
    std::vector<TCommand> queried_;  // by offset, from the last QueryContextMenu
};
