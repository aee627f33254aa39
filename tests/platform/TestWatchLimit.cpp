#include "NotifyTestSupport.h"

#include "platform/notify/ShellChangeNotify.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/notify/TInotifyWatcher.h"
#include "platform/notify/TShellChangeRegistry.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// The watch limit is per user and user namespace: the test runs itself again
// in a user namespace of its own with a limit of a few watches, so that
// reaching it touches nothing else on the machine.
const char* const kLimitedChildVariable = "PARZELLO_WATCH_LIMIT_CHILD";
constexpr int kNamespaceWatchLimit = 4;

int WarningCount = 0;

void CountWatchLimitWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QStringLiteral("inotify")))
        ++WarningCount;
}

void RunAtTheLimit()
{
    std::ifstream limitFile("/proc/sys/user/max_inotify_watches");
    int limit = 0;
    limitFile >> limit;
    ASSERT_EQ(limit, kNamespaceWatchLimit);
    qInstallMessageHandler(CountWatchLimitWarnings);

    TTempFolder folder;
    std::vector<std::string> folders;
    for (int i = 0; i < limit + 3; ++i) {
        // Appended rather than "d" + ..., which GCC 12 at -O3 wrongly reports as
        // overlapping copies (-Wrestrict, GCC bug 105329).
        folders.push_back(folder / std::string("d").append(std::to_string(i)));
        ASSERT_TRUE(MakeFolder(folders.back()));
    }
    TInotifyWatcher watcher;
    std::vector<std::unique_ptr<TInotifyWatcher::TWatchLease>> leases;
    std::size_t next = 0;
    for (; next < folders.size(); ++next) {
        auto lease = watcher.AddWatch(folders[next]);
        if (!lease)
            break;
        leases.push_back(std::move(lease));
    }
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_GE(next, 1u);
    EXPECT_LE(next, static_cast<std::size_t>(limit));
    EXPECT_EQ(watcher.AddWatch(folders[next + 1]), nullptr);
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(WarningCount, 1);

    // A watch given back makes room again.
    leases.pop_back();
    EXPECT_NE(watcher.AddWatch(folders[next]), nullptr);

    // Registrations still work for what can be watched, and for the program's own notifications.
    leases.clear();
    std::vector<std::unique_ptr<TInotifyWatcher::TWatchLease>> filler;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (auto lease = TShellChangeRegistry::Process().Watcher().AddWatch(folders[i]))
            filler.push_back(std::move(lease));
    }
    const TItemIdListPtr full = SHParseDisplayName(folder.Path());
    const SHChangeNotifyEntry entry{full.get(), false};
    std::vector<std::string> created;
    const unsigned long id = SHChangeNotifyRegister(
        nullptr, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
        [&](long, const TItemIdList* item, const TItemIdList*) { created.push_back(SHGetPathFromIDList(item)); },
        {&entry, 1});
    ASSERT_NE(id, 0u);
    EXPECT_EQ(TShellChangeRegistry::Process().WatchCount(id), 0);
    SHChangeNotify(SHCNE_CREATE, folder / "told");
    EXPECT_TRUE(WaitUntil([&] { return !created.empty(); }));
    EXPECT_EQ(WarningCount, 1);
    SHChangeNotifyDeregister(id);
}

bool UserNamespacesWork()
{
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-U"), QStringLiteral("-r"), QStringLiteral("true")});
    return probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

TEST(InotifyWatchLimit, StopsAddingWarnsOnceAndKeepsRegistrationsWorking)
{
    if (qEnvironmentVariableIsSet(kLimitedChildVariable)) {
        RunAtTheLimit();
        return;
    }
    if (!UserNamespacesWork())
        GTEST_SKIP() << "no user namespaces here";

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLimitedChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const QString script =
        QStringLiteral("echo %1 > /proc/sys/user/max_inotify_watches && exec \"$0\" \"$1\"").arg(kNamespaceWatchLimit);
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("-U"), QStringLiteral("-r"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                 QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=InotifyWatchLimit.StopsAddingWarnsOnceAndKeepsRegistrationsWorking")});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
}

}  // namespace
