#include "tools/pzshell/Commands.h"

#include "platform/commands/FolderUIObjects.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TCommand
{
    const char* name;
    int (*run)(const std::vector<std::string>& args);
    const char* usage;
};

// One row per subcommand.
constexpr TCommand kCommands[] = {
    {"ls", RunLsCommand, "ls [-a] [-l] TARGET      the items of a folder in display order"},
    {"parse", RunParseCommand, "parse PATH               the item id list of a path, item by item"},
    {"special", RunSpecialCommand, "special                  every special folder and its location"},
    {"watch", RunWatchCommand, "watch TARGET SECONDS [-r] each notification as EVENT, path 1, path 2"},
    {"icon", RunIconCommand, "icon PATH                small, large and open icon index, overlay index"},
    {"thumb", RunThumbCommand, "thumb PATH WIDTH HEIGHT OUT.png  a file's thumbnail (through the thumbnail cache)"},
    {"verbs", RunVerbsCommand, "verbs PATH... | -b DIR   the context menu: id, verb, caption, default mark"},
    {"invoke", RunInvokeCommand, "invoke [-y] VERB PATH... runs a verb (-y: take the default answers)"},
    {"copy", RunCopyCommand, "copy SOURCE... DIR       copies into DIR, printing the new paths"},
    {"move", RunMoveCommand, "move SOURCE... DIR       moves into DIR, printing the new paths"},
    {"link", RunLinkCommand, "link SOURCE... DIR       symbolic links to the sources in DIR"},
};

int Usage()
{
    std::fprintf(stderr, "usage: pzshell COMMAND [ARGS]\n");
    for (const TCommand& command : kCommands)
        std::fprintf(stderr, "  pzshell %s\n", command.usage);
    std::fprintf(stderr, "TARGET is a path or one of ::desktop ::computer ::home ::trash ::network\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Icons, MIME types and menus need an application object, which needs a platform:
    // without a display, the offscreen one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RegisterFolderUIObjects();

    if (argc < 2)
        return Usage();
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const TCommand& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(args);
    }
    return Usage();
}
