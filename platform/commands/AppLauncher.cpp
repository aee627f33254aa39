#include "platform/commands/AppLauncher.h"

#include "platform/commands/TGioAppLauncher.h"

#include <QFile>
#include <QMimeDatabase>

#include <mutex>
#include <utility>

namespace {

std::mutex& LauncherMutex()
{
    static std::mutex mutex;
    return mutex;
}

IAppLauncherPtr& CurrentLauncher()
{
    static IAppLauncherPtr launcher = std::make_shared<TGioAppLauncher>();
    return launcher;
}

}  // namespace

IAppLauncherPtr GetAppLauncher()
{
    std::lock_guard lock(LauncherMutex());
    return CurrentLauncher();
}

IAppLauncherPtr SetAppLauncher(IAppLauncherPtr launcher)
{
    if (!launcher)
        launcher = std::make_shared<TGioAppLauncher>();
    std::lock_guard lock(LauncherMutex());
    return std::exchange(CurrentLauncher(), std::move(launcher));
}

std::string MimeTypeOfFile(const std::string& path)
{
    const QMimeDatabase database;
    return database.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(path))).name().toStdString();
}
