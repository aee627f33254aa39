#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/ShellNamespace.h"

#include <cstdio>

int RunParseCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pzshell parse PATH\n");
        return 2;
    }
    TItemIdListPtr list = ResolveTarget(args[0]);
    if (!list)
        return 1;

    // One line per item: kind, byte count, the bytes in hex, and the display
    // name of the level the item opens.
    IShellFolderPtr folder = SHGetDesktopFolder();
    std::string name;
    // An empty name in the output shows a question that failed.
    static_cast<void>(folder->GetDisplayNameOf(MakeDesktopIDList().get(), SHGDN_NORMAL, name));
    std::printf("desktop\t2\t00 00\t%s\n", EscapeForLine(name).c_str());
    std::size_t level = 0;
    for (const TItemIdList* item = list.get(); IDListItemSize(item) != 0; item = NextIDListItem(item), ++level) {
        TItemView view;
        const char* kind = ReadItem(item, view) ? ItemKindName(view.kind) : "invalid";
        TItemIdListPtr prefix = TruncateIDList(list.get(), level + 1);
        name.clear();
        static_cast<void>(folder->GetDisplayNameOf(prefix.get(), SHGDN_NORMAL, name));
        std::printf("%s\t%u\t%s\t%s\n", kind, IDListItemSize(item),
                    HexBytes(IDListBytes(item), IDListItemSize(item)).c_str(), EscapeForLine(name).c_str());
    }
    std::printf("size\t%zu\n", IDListSize(list.get()));
    std::printf("path\t%s\n", EscapeForLine(SHGetPathFromIDList(list.get())).c_str());
    static_cast<void>(folder->GetDisplayNameOf(list.get(), SHGDN_FORPARSING, name));
    std::printf("parsing name\t%s\n", EscapeForLine(name).c_str());
    return 0;
}
