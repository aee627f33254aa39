#include "platform/namespace/TDirectoryEnum.h"

#include "platform/core/system/LastError.h"
#include "platform/core/ids/ShellConstants.h"
#include "platform/core/ids/ShellItems.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

TDirectoryEnum::TDirectoryEnum(std::string path, std::uint32_t flags, std::shared_ptr<const THiddenList> hidden,
                               std::vector<TItemIdListPtr> leading)
    : path_(std::move(path))
    , flags_(flags)
    , hidden_(std::move(hidden))
    , leading_(std::move(leading))
{
}

bool TDirectoryEnum::Open()
{
    if (path_.empty())
        return true;
    directory_.reset(opendir(path_.c_str()));
    return directory_ != nullptr;
}

void TDirectoryEnum::Reset()
{
    leadingIndex_ = 0;
    error_ = 0;
    if (directory_)
        rewinddir(directory_.get());
}

bool TDirectoryEnum::Next(TItemIdListPtr& item)
{
    if (leadingIndex_ < leading_.size()) {
        item = CloneIDList(leading_[leadingIndex_++].get());
        return true;
    }
    if (!directory_)
        return false;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(directory_.get());
        if (!entry) {
            if (errno != 0) {
                error_ = errno;
                SetLastError(errno);
            }
            return false;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (!(flags_ & SHCONTF_INCLUDEHIDDEN) && (name[0] == '.' || (hidden_ && hidden_->IsListed(name))))
            continue;
        item = MakeItem(*entry);
        if (item)
            return true;
    }
}

TItemIdListPtr TDirectoryEnum::MakeItem(const dirent& entry)
{
    std::uint8_t type = entry.d_type;
    std::uint8_t flags = 0;
    const int directoryFd = dirfd(directory_.get());
    struct stat status;
    if (type == DT_UNKNOWN && fstatat(directoryFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
        type = static_cast<std::uint8_t>(IFTODT(status.st_mode));
    if (type == DT_DIR)
        flags = kItemIsFolder;
    else if (type == DT_LNK) {
        flags = kItemIsSymlink;
        if (fstatat(directoryFd, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode))
            flags |= kItemIsFolder;
    }
    const bool wanted = (flags & kItemIsFolder) ? (flags_ & SHCONTF_FOLDERS) : (flags_ & SHCONTF_NONFOLDERS);
    if (!wanted)
        return nullptr;
    return MakeFileSystemItem(std::string_view(entry.d_name, std::strlen(entry.d_name)), flags, type);
}
