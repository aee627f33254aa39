#include "platform/namespace/items/THiddenList.h"

#include "platform/core/system/TFileHandle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace {

// A .hidden file is a short list typed by hand; more than this is not one.
constexpr std::size_t kMaxHiddenFileBytes = 1 << 20;
// Folders whose lists are kept; far more than the panes show at once, and the
// lists of folders long left go.
constexpr std::size_t kSharedFolders = 256;

std::mutex& SharedLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<std::string, std::shared_ptr<const THiddenList>>& SharedLists()
{
    static std::unordered_map<std::string, std::shared_ptr<const THiddenList>> lists;
    return lists;
}

}  // namespace

THiddenList THiddenList::ReadFolder(const std::string& folderPath)
{
    TFileHandle fd(::open((folderPath + "/.hidden").c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0)
        return {};
    std::string text;
    char buffer[16384];
    while (text.size() < kMaxHiddenFileBytes) {
        const ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return FromText(text);
}

std::shared_ptr<const THiddenList> THiddenList::Shared(const std::string& folderPath, bool reload)
{
    if (!reload) {
        const std::lock_guard guard(SharedLock());
        if (const auto found = SharedLists().find(folderPath); found != SharedLists().end())
            return found->second;
    }
    auto list = std::make_shared<const THiddenList>(ReadFolder(folderPath));
    const std::lock_guard guard(SharedLock());
    auto& lists = SharedLists();
    if (lists.size() >= kSharedFolders && lists.find(folderPath) == lists.end())
        lists.clear();
    lists[folderPath] = list;
    return list;
}

THiddenList THiddenList::FromText(std::string_view text)
{
    THiddenList list;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        // A file written with CR LF line ends hides the names without the CR;
        // a name that really ends in CR stays hidden as well.
        if (line.size() > 1 && line.back() == '\r')
            list.names_.emplace(line.substr(0, line.size() - 1));
        if (!line.empty() && line.find('/') == std::string_view::npos)
            list.names_.emplace(line);
    }
    return list;
}

bool THiddenList::IsListed(std::string_view name) const
{
    return names_.find(name) != names_.end();
}
