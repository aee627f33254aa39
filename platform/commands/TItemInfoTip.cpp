#include "platform/commands/TItemInfoTip.h"

#include "platform/namespace/items/DetailTexts.h"
#include "platform/core/system/LastError.h"

#include <cerrno>
#include <sys/stat.h>

TItemInfoTip::TItemInfoTip(std::string path, std::string name)
    : path_(std::move(path))
    , name_(std::move(name))
{
}

TShellResult TItemInfoTip::GetInfoTip(std::uint32_t, QString& tip)
{
    tip.clear();
    struct stat status;
    if (::stat(path_.c_str(), &status) != 0 && ::lstat(path_.c_str(), &status) != 0) {
        const int error = errno;
        SetLastError(error);
        return TShellResult::Fail(error);
    }
    const bool isFolder = S_ISDIR(status.st_mode);
    tip = QStringLiteral("Typ: ") + FileTypeText(name_, isFolder);
    if (!isFolder)
        tip += QStringLiteral("\nGröße: ") + FormatSizeText(static_cast<std::uint64_t>(status.st_size));
    tip += QStringLiteral("\nGeändert am: ") + FormatDateText(status.st_mtim);
    return TShellResult::Ok();
}
