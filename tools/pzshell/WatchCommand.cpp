#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/namespace/IShellFolder.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

int WatchUsage()
{
    std::fprintf(stderr, "usage: pzshell watch TARGET SECONDS [-r]\n");
    return 2;
}

std::string PathText(const TItemIdList* item)
{
    return item ? EscapeForLine(SHGetPathFromIDList(item)) : std::string();
}

// A recursive registration watches the folders enumerated after it was
// made, as an expanded tree would; this enumerates the whole tree below the
// target, breadth first, until the registration's watch cap is reached.
void EnumerateFoldersBelow(const TItemIdList* root)
{
    std::deque<TItemIdListPtr> pending;
    pending.push_back(CloneIDList(root));
    int enumerated = 0;
    while (!pending.empty() && enumerated < kMaxWatchesPerRegistration) {
        const TItemIdListPtr list = std::move(pending.front());
        pending.pop_front();
        const IShellFolderPtr folder = SHBindToFolder(list.get());
        std::unique_ptr<IEnumIDList> enumerator;
        if (!folder || folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, enumerator).Failed())
            continue;
        ++enumerated;
        TItemIdListPtr item;
        while (enumerator->Next(item))
            pending.push_back(ConcatIDLists(list.get(), item.get()));
    }
}

}  // namespace

int RunWatchCommand(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    bool recursive = false;
    for (const std::string& arg : args) {
        if (arg == "-r")
            recursive = true;
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2)
        return WatchUsage();
    char* end = nullptr;
    const double seconds = std::strtod(positional[1].c_str(), &end);
    if (end == positional[1].c_str() || *end != '\0' || !(seconds >= 0) || seconds > 24 * 3600)
        return WatchUsage();
    const TItemIdListPtr target = ResolveTarget(positional[0]);
    if (!target)
        return 1;

    const SHChangeNotifyEntry entry{target.get(), recursive};
    const int sources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel | (recursive ? SHCNRF_RecursiveInterrupt : 0);
    const unsigned long registration = SHChangeNotifyRegister(
        nullptr, sources, SHCNE_ALLEVENTS,
        [](long event, const TItemIdList* item1, const TItemIdList* item2) {
            std::printf("%s\t%s\t%s\n", ShellEventName(event), PathText(item1).c_str(), PathText(item2).c_str());
            std::fflush(stdout);
        },
        {&entry, 1});
    if (registration == 0) {
        std::fprintf(stderr, "pzshell: %s: kann nicht überwacht werden\n", positional[0].c_str());
        return 1;
    }
    if (recursive)
        EnumerateFoldersBelow(target.get());

    QTimer::singleShot(static_cast<int>(seconds * 1000), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    SHChangeNotifyDeregister(registration);
    return 0;
}
