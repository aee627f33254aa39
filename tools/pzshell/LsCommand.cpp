#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>
#include <cstdio>

namespace {

// Every attribute bit the namespace answers.
constexpr std::uint32_t kAllAttributes = 0xFFFFFFFFu;

struct TLsOptions
{
    bool all = false;
    bool details = false;
    std::string target;
};

bool ParseOptions(const std::vector<std::string>& args, TLsOptions& options)
{
    bool haveTarget = false;
    for (const std::string& arg : args) {
        if (arg == "-a")
            options.all = true;
        else if (arg == "-l")
            options.details = true;
        else if ((arg == "-al" || arg == "-la"))
            options.all = options.details = true;
        else if (!haveTarget) {
            options.target = arg;
            haveTarget = true;
        } else
            return false;
    }
    return haveTarget;
}

void PrintHeader(IShellFolder& folder)
{
    std::string line;
    TShellDetails details;
    for (int column = 0; folder.GetDetailsOf(nullptr, column, details).Succeeded(); ++column)
        line += details.text + "\t";
    std::printf("%sAttribute\n", line.c_str());
}

void PrintItem(IShellFolder& folder, const TItemIdList* item, bool details)
{
    std::string name;
    static_cast<void>(folder.GetDisplayNameOf(item, SHGDN_NORMAL, name));  // an empty line shows a failure
    if (!details) {
        std::printf("%s\n", EscapeForLine(name).c_str());
        return;
    }
    std::string line;
    TShellDetails column;
    for (int index = 0; folder.GetDetailsOf(item, index, column).Succeeded(); ++index)
        line += EscapeForLine(column.text) + "\t";
    const TItemIdList* items[] = {item};
    std::uint32_t attributes = kAllAttributes;
    static_cast<void>(folder.GetAttributesOf(items, attributes));  // the bits as the call left them
    std::printf("%s0x%08X\n", line.c_str(), attributes);
}

}  // namespace

int RunLsCommand(const std::vector<std::string>& args)
{
    TLsOptions options;
    if (!ParseOptions(args, options)) {
        std::fprintf(stderr, "usage: pzshell ls [-a] [-l] TARGET\n");
        return 2;
    }
    TItemIdListPtr target = ResolveTarget(options.target);
    if (!target)
        return 1;

    // A folder lists its items; anything else lists itself from its parent.
    std::vector<TItemIdListPtr> items;
    IShellFolderPtr folder = SHBindToFolder(target.get());
    if (!folder) {
        if (GetLastError() != ENOTDIR) {
            PrintLastError(options.target);
            return 1;
        }
        folder = SHBindToFolder(TruncateIDList(target.get(), IDListCount(target.get()) - 1).get());
        if (!folder) {
            PrintLastError(options.target);
            return 1;
        }
        items.push_back(CloneIDList(LastIDListItem(target.get())));
    } else {
        std::uint32_t flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
        if (options.all)
            flags |= SHCONTF_INCLUDEHIDDEN;
        std::unique_ptr<IEnumIDList> enumerator;
        if (folder->EnumObjects(flags, enumerator).Failed()) {
            PrintLastError(options.target);
            return 1;
        }
        for (TItemIdListPtr item; enumerator->Next(item);)
            items.push_back(std::move(item));
    }

    std::sort(items.begin(), items.end(), [&](const TItemIdListPtr& a, const TItemIdListPtr& b) {
        return folder->CompareIDs(0, a.get(), b.get()).OrderValue() < 0;
    });
    if (options.details)
        PrintHeader(*folder);
    for (const TItemIdListPtr& item : items)
        PrintItem(*folder, item.get(), options.details);
    return 0;
}
