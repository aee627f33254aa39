#include "platform/namespace/THiddenList.h"

#include "platform/core/system/TFileHandle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// A .hidden file is a short list typed by hand; more than this is not one.
constexpr std::size_t kMaxHiddenFileBytes = 1 << 20;

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
