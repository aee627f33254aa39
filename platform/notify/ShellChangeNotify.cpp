#include "platform/notify/ShellChangeNotify.h"

#include "platform/core/ids/TItemIdList.h"
#include "platform/notify/TShellChangeRegistry.h"

#include <QCoreApplication>
#include <QThread>

#include <memory>

namespace {

std::shared_ptr<const TItemIdList> SharedCopy(const TItemIdList* list)
{
    return std::shared_ptr<const TItemIdList>(
        CloneIDList(list).release(), [](const TItemIdList* copy) { ShellFree(const_cast<TItemIdList*>(copy)); });
}

}  // namespace

unsigned long SHChangeNotifyRegister(QObject* receiver, int sources, long eventMask, TShellChangeHandler handler,
                                     std::span<const SHChangeNotifyEntry> entries)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        qWarning("SHChangeNotifyRegister: nur im UI-Thread möglich");
        return 0;
    }
    return TShellChangeRegistry::Process().Register(receiver, sources, eventMask, std::move(handler), entries);
}

unsigned long SHChangeNotifyReregister(unsigned long previous, QObject* receiver, int sources, long eventMask,
                                       TShellChangeHandler handler, std::span<const SHChangeNotifyEntry> entries)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        qWarning("SHChangeNotifyReregister: nur im UI-Thread möglich");
        return 0;
    }
    return TShellChangeRegistry::Process().Register(receiver, sources, eventMask, std::move(handler), entries,
                                                    previous);
}

bool SHChangeNotifyDeregister(unsigned long registrationId)
{
    TShellChangeRegistry* registry = TShellChangeRegistry::ProcessIfExists();
    if (!registry || QThread::currentThread() != registry->thread())
        return false;
    return registry->Deregister(registrationId);
}

void SHChangeNotify(long event, const TItemIdList* item1, const TItemIdList* item2)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    const auto copy1 = SharedCopy(item1);
    const auto copy2 = SharedCopy(item2);
    QMetaObject::invokeMethod(
        application,
        [event, copy1, copy2] {
            if (TShellChangeRegistry* registry = TShellChangeRegistry::ProcessIfExists())
                registry->NotifyItems(event & SHCNE_ALLEVENTS, copy1.get(), copy2.get());
        },
        Qt::QueuedConnection);
}

void SHChangeNotify(long event, const std::string& path1, const std::string& path2)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application,
        [event, path1, path2] {
            if (TShellChangeRegistry* registry = TShellChangeRegistry::ProcessIfExists())
                registry->NotifyPaths(event & SHCNE_ALLEVENTS, path1, path2);
        },
        Qt::QueuedConnection);
}

const char* ShellEventName(long event)
{
    switch (event) {
    case SHCNE_RENAMEITEM: return "RENAMEITEM";
    case SHCNE_CREATE: return "CREATE";
    case SHCNE_DELETE: return "DELETE";
    case SHCNE_MKDIR: return "MKDIR";
    case SHCNE_RMDIR: return "RMDIR";
    case SHCNE_MEDIAINSERTED: return "MEDIAINSERTED";
    case SHCNE_MEDIAREMOVED: return "MEDIAREMOVED";
    case SHCNE_DRIVEREMOVED: return "DRIVEREMOVED";
    case SHCNE_DRIVEADD: return "DRIVEADD";
    case SHCNE_NETSHARE: return "NETSHARE";
    case SHCNE_NETUNSHARE: return "NETUNSHARE";
    case SHCNE_ATTRIBUTES: return "ATTRIBUTES";
    case SHCNE_UPDATEDIR: return "UPDATEDIR";
    case SHCNE_UPDATEITEM: return "UPDATEITEM";
    case SHCNE_SERVERDISCONNECT: return "SERVERDISCONNECT";
    case SHCNE_UPDATEIMAGE: return "UPDATEIMAGE";
    case SHCNE_DRIVEADDGUI: return "DRIVEADDGUI";
    case SHCNE_RENAMEFOLDER: return "RENAMEFOLDER";
    case SHCNE_FREESPACE: return "FREESPACE";
    case SHCNE_ASSOCCHANGED: return "ASSOCCHANGED";
    default: return "";
    }
}
