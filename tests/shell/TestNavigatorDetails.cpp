#include "tests/shell/NavigatorFixture.h"

#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/core/ids/ShellConstants.h"
#include "shell/navigator/functions/ShellPaths.h"

#include <QWidget>

#include <cerrno>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

using NavigatorDetails = NavigatorFixture;

TEST_F(NavigatorDetails, ColumnsOfAFileSystemFolder)
{
    WriteFile(Work() + "/teil.0001", 1500);
    Navigator().SetFolderPath(Work());
    EXPECT_EQ(Navigator().GetDetailText(0, true), "Name");
    EXPECT_EQ(Navigator().GetDetailText(1, true), "Größe");
    EXPECT_EQ(Navigator().GetDetailText(1, false), "");
    Navigator().SetObjectNameBytes("teil.0001");
    EXPECT_EQ(Navigator().GetDetailText(0, false), "teil.0001");
    EXPECT_EQ(Navigator().GetDetailText(1, false), "2 KB");
    EXPECT_EQ(Navigator().GetDetailText(2, false), "0001-Datei");
    EXPECT_EQ(Navigator().GetDetailText(99, false), "");
    EXPECT_EQ(Navigator().GetDetailText(99, true), "");

    const TDetailColumn name = Navigator().GetDetailColumn(0);
    EXPECT_EQ(name.Alignment, LVCFMT_LEFT);
    EXPECT_EQ(name.Width, 30 * 7);
    const TDetailColumn size = Navigator().GetDetailColumn(1);
    EXPECT_EQ(size.Alignment, LVCFMT_RIGHT);
    EXPECT_EQ(size.Width, 10 * 7);
    // Columns hidden by default get no width.
    EXPECT_EQ(Navigator().GetDetailColumn(4).Width, 0);
    const TDetailColumn missing = Navigator().GetDetailColumn(99);
    EXPECT_EQ(missing.Alignment, LVCFMT_LEFT);
    EXPECT_EQ(missing.Width, 120);
}

TEST_F(NavigatorDetails, RenameSelectsTheRenamedObject)
{
    WriteFile(Work() + "/alt.txt");
    Navigator().SetObjectNameBytes(Work() + "/alt.txt");
    QString name = QStringLiteral("neu mit ü.txt");
    EXPECT_TRUE(Navigator().RenameObject(name));
    EXPECT_EQ(name, QStringLiteral("neu mit ü.txt"));
    EXPECT_EQ(Navigator().ObjectName(), QStringLiteral("neu mit ü.txt"));
    EXPECT_TRUE(Exists(Work() + "/neu mit ü.txt"));
    EXPECT_FALSE(Exists(Work() + "/alt.txt"));
}

TEST_F(NavigatorDetails, FailedRenameKeepsBothFilesAndReports)
{
    WriteFile(Work() + "/a.txt", 1);
    WriteFile(Work() + "/b.txt", 2);
    QWidget owner;
    TShellNavigator navigator(&owner);
    navigator.Loaded();
    navigator.SetObjectNameBytes(Work() + "/a.txt");
    int messages = 0;
    const TScopedMessageHandler answer([&](const TMessageRequest& request) {
        ++messages;
        EXPECT_EQ(request.Icon, TMessageIcon::Error);
        return TMessageAnswer{0, false};
    });

    QString name = QStringLiteral("b.txt");
    EXPECT_FALSE(navigator.RenameObject(name));
    EXPECT_EQ(GetLastError(), EEXIST);
    EXPECT_EQ(name, "a.txt");
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(GetFileSize64(Work() + "/b.txt"), 2);

    // Without error messages the failure is only left as the last error.
    navigator.SetShowErrorMessages(false);
    const TImmutableGuard locked(Work());
    if (locked.Active()) {
        name = QStringLiteral("c.txt");
        EXPECT_FALSE(navigator.RenameObject(name));
        EXPECT_EQ(messages, 1);
        EXPECT_TRUE(Exists(Work() + "/a.txt"));
    }
}
