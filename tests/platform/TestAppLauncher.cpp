#include "CommandTestSupport.h"
#include "NamespaceFixture.h"

#include "platform/commands/IContextMenu.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/commands/TGioAppLauncher.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The desktop's own associations, read by GIO from a temporary home: an
// application whose program writes the files it was started with to a file.
// GIO reads the XDG folders once per process, which holds here since every
// test runs in a process of its own.
class GioLauncherTest : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        output_ = Work() + "/gestartet.txt";
        const std::string script = Work() + "/aufzeichnen.sh";
        WriteText(script, "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\n' \"$f\"; done > '" + output_ + ".neu'\nmv '" +
                              output_ + ".neu' '" + output_ + "'\n");
        ::chmod(script.c_str(), 0755);
        MakeDirectory(Home() + "/.local/share/applications");
        WriteText(Home() + "/.local/share/applications/parzello-probe.desktop",
                  "[Desktop Entry]\nType=Application\nName=Parzello-Probe\nExec=" + script +
                      " %F\nMimeType=text/plain;\n");
        WriteText(Home() + "/.config/mimeapps.list", "[Default Applications]\ntext/plain=parzello-probe.desktop\n");
    }

    static void WriteText(const std::string& path, const std::string& text)
    {
        QFile file(QFile::decodeName(path.c_str()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.c_str());
    }

    std::string Launched() const
    {
        QFile file(QFile::decodeName(output_.c_str()));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    std::string output_;
};

TEST_F(GioLauncherTest, FindsTheAssociationsAndStartsTheApplication)
{
    TGioAppLauncher launcher;
    const std::optional<TAppInfo> app = launcher.DefaultAppForType("text/plain");
    ASSERT_TRUE(app);
    EXPECT_EQ(app->Id, "parzello-probe.desktop");
    EXPECT_EQ(app->Name, "Parzello-Probe");
    const std::vector<TAppInfo> apps = launcher.AppsForType("text/plain");
    ASSERT_FALSE(apps.empty());
    EXPECT_EQ(apps.front().Id, "parzello-probe.desktop");

    WriteFile(Work() + "/a b.txt", 1);
    WriteFile(Work() + "/c.txt", 1);
    std::string error;
    ASSERT_TRUE(launcher.Launch(app->Id, {Work() + "/a b.txt", Work() + "/c.txt"}, error)) << error;
    ASSERT_TRUE(WaitFor([&] { return Exists(output_); }));
    EXPECT_EQ(Launched(), Work() + "/a b.txt\n" + Work() + "/c.txt\n");

    EXPECT_FALSE(launcher.Launch("gibt-es-nicht.desktop", {}, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(GioLauncherTest, OpenFromTheMenuUsesTheDefaultApplication)
{
    const TScopedLauncher real(std::make_shared<TGioAppLauncher>());
    WriteFile(Work() + "/brief.txt", 1);
    const TItemIdListPtr absolute = Parse(Work() + "/brief.txt");
    const TItemIdList* items[] = {LastIDListItem(absolute.get())};
    IUIObjectPtr object;
    ASSERT_TRUE(Bind(Work())->GetUIObjectOf(nullptr, items, TUIObjectKind::ContextMenu, object).Succeeded());
    const IContextMenuPtr menu = std::dynamic_pointer_cast<IContextMenu>(object);
    ASSERT_TRUE(menu->InvokeCommand(TInvokeCommandInfo{"open", -1, nullptr}).Succeeded());
    ASSERT_TRUE(WaitFor([&] { return Exists(output_); }));
    EXPECT_EQ(Launched(), Work() + "/brief.txt\n");
}

}  // namespace
