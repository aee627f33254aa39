#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <cstdio>

int RunSpecialCommand(const std::vector<std::string>& args)
{
    if (!args.empty()) {
        std::fprintf(stderr, "usage: pzshell special\n");
        return 2;
    }
    // value, name, shell folder number, location (path, else parsing name, else
    // "-" for none), display name.
    const std::string none = "-";
    IShellFolderPtr desktop = SHGetDesktopFolder();
    for (int value = 0; value < kSpecialFolderCount; ++value) {
        TItemIdListPtr list = SHGetSpecialFolderLocation(value);
        std::string location = none;
        std::string name;
        if (list) {
            location = SHGetPathFromIDList(list.get());
            if (location.empty())
                static_cast<void>(desktop->GetDisplayNameOf(list.get(), SHGDN_FORPARSING, location));  // empty: none
            if (location.empty())
                location = none;
            static_cast<void>(desktop->GetDisplayNameOf(list.get(), SHGDN_NORMAL, name));  // empty on failure
        }
        std::printf("%d\t%s\t%d\t%s\t%s\n", value, SpecialFolderName(value), SpecialFolderCsidl(value),
                    EscapeForLine(location).c_str(), EscapeForLine(name).c_str());
    }
    return 0;
}
