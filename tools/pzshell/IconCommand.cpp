#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/icons/ShellFileInfo.h"
#include "platform/icons/TSystemIconTable.h"

#include <cstdio>

namespace {

void PrintIcon(const char* label, const TShFileInfo& info)
{
    std::printf("%s\t%d\t%s\n", label, info.iIcon,
                TSystemIconTable::Process().IconName(info.iIcon).toUtf8().constData());
}

}  // namespace

int RunIconCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pzshell icon PATH\n");
        return 2;
    }
    const TItemIdListPtr list = ResolveTarget(args[0]);
    if (!list)
        return 1;
    // The icon theme is set up before the first index is given.
    TSystemIconTable::Process();

    const TShFileInfo small = SHGetFileInfo(list.get(), 0, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    const TShFileInfo large = SHGetFileInfo(list.get(), 0, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    const TShFileInfo open =
        SHGetFileInfo(list.get(), 0, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    if (!small.succeeded) {
        std::fprintf(stderr, "pzshell: %s: keine Dateiinformation\n", args[0].c_str());
        return 1;
    }
    PrintIcon("small", small);
    PrintIcon("large", large);
    PrintIcon("open", open);
    std::printf("overlay\t%d\t%s\n", small.iOverlay,
                small.iOverlay == 1   ? "link"
                : small.iOverlay == 0 ? "share"
                                      : "none");
    return 0;
}
