#include "NamespaceFixture.h"

#include "platform/namespace/items/DetailTexts.h"
#include "framework/MessageBox.h"
#include "platform/dialogs/PropertiesDialog.h"
#include "platform/dialogs/PropertyTexts.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"
#include "platform/dialogs/TPropertiesDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <ftw.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Q(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString Value(const QWidget& dialog, const char* name)
{
    const auto* label = dialog.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<none>");
}

bool Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

std::string Contents(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool WaitForCount(const TPropertiesDialog& dialog)
{
    return QTest::qWaitFor([&] { return dialog.IsCountDone(); }, 10000);
}

// Every message box is answered with its first button and remembered.
class TMessageLog
{
public:
    TMessageLog()
        : handler_([this](const TMessageRequest& request) {
            texts_.push_back(request.Text);
            return TMessageAnswer{0, false};
        })
    {
    }
    const QStringList& Texts() const { return texts_; }

private:
    QStringList texts_;
    TScopedMessageHandler handler_;
};

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    ::remove(path);
    return 0;
}

class PropertiesDialogTest : public NamespaceFixture
{
protected:
    // Qt cannot remove names that are not UTF-8: the work folder goes first.
    void TearDown() override
    {
        ::nftw(Work().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        NamespaceFixture::TearDown();
    }

    // A folder full of awkward entries: 7 files (a symbolic link to a folder
    // among them, a second hard link of a file not counted again) and 2 folders,
    // 650 bytes.
    std::string MakeCollection()
    {
        const std::string folder = Work() + "/Sammlung";
        MakeDirectory(folder);
        WriteFile(folder + "/a", 100);
        WriteFile(folder + "/b c", 200);
        WriteFile(folder + "/\xff.bin", 50);
        MakeDirectory(folder + "/sub");
        WriteFile(folder + "/sub/d\ne", 300);
        EXPECT_EQ(::link((folder + "/a").c_str(), (folder + "/sub/a zweimal").c_str()), 0);
        MakeDirectory(folder + "/leer");
        MakeFifo(folder + "/rohr");
        MakeSymlink(folder + "/a", folder + "/zu a");
        const std::string outside = Work() + "/draussen";
        MakeDirectory(outside);
        WriteFile(outside + "/gross", 100000);
        MakeSymlink(outside, folder + "/zu draussen");
        return folder;
    }

    // What the collection's two links add: their own sizes, the lengths of their targets.
    std::uint64_t CollectionLinkBytes() { return (Work() + "/Sammlung/a").size() + (Work() + "/draussen").size(); }
};

TEST(PropertyTextsTest, SizesCountsPermissionsAndDates)
{
    EXPECT_EQ(FormatByteSizeText(0), "0 Bytes");
    EXPECT_EQ(FormatByteSizeText(1), "1 Byte");
    EXPECT_EQ(FormatByteSizeText(999), "999 Bytes");
    EXPECT_EQ(FormatByteSizeText(1000), "0,97 KB (1.000 Bytes)");
    EXPECT_EQ(FormatByteSizeText(1500), "1,46 KB (1.500 Bytes)");
    EXPECT_EQ(FormatByteSizeText(1424123), "1,35 MB (1.424.123 Bytes)");
    EXPECT_EQ(FormatByteSizeText(1073741824), "1,00 GB (1.073.741.824 Bytes)");
    EXPECT_EQ(FormatByteSizeText(1023 * 1024), "0,99 MB (1.047.552 Bytes)");

    EXPECT_EQ(FormatCountText(1, 0), "1 Datei, 0 Ordner");
    EXPECT_EQ(FormatCountText(12345, 1), "12.345 Dateien, 1 Ordner");

    EXPECT_EQ(FormatPermissionText(0100644), "rw-r--r--");
    EXPECT_EQ(FormatPermissionText(04755), "rwsr-xr-x");
    EXPECT_EQ(FormatPermissionText(02640), "rw-r-S---");
    EXPECT_EQ(FormatPermissionText(01777), "rwxrwxrwt");

    const qint64 seconds = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30)).toSecsSinceEpoch();
    EXPECT_EQ(FormatLongDateText(timespec{seconds, 0}), "Dienstag, 5. März 2024, 14:07:30");
}

TEST_F(PropertiesDialogTest, ShowsAFile)
{
    const std::string path = Work() + "/brief.txt";
    WriteFile(path, 1500);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const qint64 seconds = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30)).toSecsSinceEpoch();
    const timespec times[2] = {{seconds - 60, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    TPropertiesDialog dialog({path}, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Eigenschaften von brief.txt");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("nameEdit")->text(), "brief.txt");
    EXPECT_EQ(Value(dialog, "typeValue"), FileTypeText("brief.txt", false));
    EXPECT_EQ(Value(dialog, "locationValue"), Q(Work()));
    EXPECT_EQ(Value(dialog, "sizeValue"), "1,46 KB (1.500 Bytes)");
    EXPECT_EQ(Value(dialog, "contentsValue"), "<none>");
    EXPECT_EQ(Value(dialog, "modifiedValue"), "Dienstag, 5. März 2024, 14:07:30");
    EXPECT_EQ(Value(dialog, "accessedValue"), "Dienstag, 5. März 2024, 14:06:30");
    EXPECT_EQ(Value(dialog, "permissionsValue"), "rw-r-----");
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("permission_group_read")->isChecked());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("permission_group_write")->isChecked());
    EXPECT_TRUE(dialog.IsCountDone());
}

TEST_F(PropertiesDialogTest, ShowsALinkWithItsTarget)
{
    const std::string target = Work() + "/ziel.txt";
    WriteFile(target, 10);
    MakeSymlink(target, Work() + "/verweis");
    TPropertiesDialog dialog({Work() + "/verweis"}, nullptr);
    EXPECT_EQ(Value(dialog, "linkTargetValue"), Q(target));
    EXPECT_EQ(Value(dialog, "sizeValue"), "10 Bytes");
}

TEST_F(PropertiesDialogTest, CountsAFolderInTheBackground)
{
    const std::string folder = MakeCollection();
    TPropertiesDialog dialog({folder + "/"}, nullptr);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("nameEdit")->text(), "Sammlung");
    EXPECT_EQ(Value(dialog, "typeValue"), "Dateiordner");
    ASSERT_TRUE(WaitForCount(dialog));
    EXPECT_EQ(Value(dialog, "sizeValue"), FormatByteSizeText(650 + CollectionLinkBytes()));
    EXPECT_EQ(Value(dialog, "contentsValue"), "7 Dateien, 2 Ordner");
}

TEST_F(PropertiesDialogTest, ShowsSeveralItemsWithTheirTotals)
{
    const std::string folder = MakeCollection();
    const std::string file = Work() + "/notiz.xyz123";
    WriteFile(file, 100);

    TPropertiesDialog dialog({file, folder, Work() + "/gibt es nicht"}, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Eigenschaften von 2 Elementen");
    EXPECT_EQ(Value(dialog, "selectionValue"), "1 Datei, 1 Ordner");
    EXPECT_EQ(Value(dialog, "typeValue"), "Verschiedene Typen");
    EXPECT_EQ(Value(dialog, "locationValue"), "Alle in " + Q(Work()));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("nameEdit"), nullptr);
    ASSERT_TRUE(WaitForCount(dialog));
    EXPECT_EQ(Value(dialog, "sizeValue"), FormatByteSizeText(750 + CollectionLinkBytes()));
    EXPECT_EQ(Value(dialog, "contentsValue"), "8 Dateien, 3 Ordner");

    WriteFile(folder + "/x.xyz123", 1);
    TPropertiesDialog spread({file, folder + "/x.xyz123"}, nullptr);
    EXPECT_EQ(Value(spread, "selectionValue"), "2 Dateien, 0 Ordner");
    EXPECT_EQ(Value(spread, "typeValue"), "Alle vom Typ XYZ123-Datei");
    EXPECT_EQ(Value(spread, "locationValue"), "Verschiedene Ordner");
    EXPECT_TRUE(spread.IsCountDone());
}

TEST_F(PropertiesDialogTest, ClosingStopsTheCount)
{
    const std::string folder = MakeCollection();
    for (int i = 0; i < 20; ++i)
        MakeDirectory(folder + "/sub/" + std::to_string(i));
    TPropertiesDialog dialog({folder}, nullptr);
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(PropertiesDialogTest, RenamesFromTheNameField)
{
    const std::string path = Work() + "/alt.txt";
    WriteText(path, "Inhalt");
    TPropertiesDialog dialog({path}, nullptr);
    dialog.findChild<QLineEdit*>("nameEdit")->setText("neu ü.txt");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(Contents(Work() + "/neu ü.txt"), "Inhalt");
}

TEST_F(PropertiesDialogTest, RenameNeverReplacesAndRefusesBadNames)
{
    const std::string path = Work() + "/a.txt";
    WriteText(path, "erste");
    WriteText(Work() + "/b.txt", "zweite");
    TMessageLog messages;

    TPropertiesDialog dialog({path}, nullptr);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("nameEdit");
    edit->setText("b.txt");
    dialog.accept();
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_EQ(messages.Texts()[0],
              "„a.txt“ kann nicht in „b.txt“ umbenannt werden: Es gibt dort bereits ein Element mit diesem Namen.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Contents(path), "erste");
    EXPECT_EQ(Contents(Work() + "/b.txt"), "zweite");

    for (const char* bad : {"", "x/y", "..", "."}) {
        edit->setText(bad);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_EQ(messages.Texts().size(), 5);
    EXPECT_EQ(Contents(path), "erste");

    // The folder became unwritable meanwhile.
    TImmutableGuard guard(Work());
    ASSERT_TRUE(guard.Active());
    edit->setText("c.txt");
    dialog.accept();
    ASSERT_EQ(messages.Texts().size(), 6);
    EXPECT_TRUE(messages.Texts()[5].startsWith("„a.txt“ kann nicht in „c.txt“ umbenannt werden: "));
    EXPECT_TRUE(Exists(path));
}

TEST_F(PropertiesDialogTest, KeepsANameThatIsNotUtf8)
{
    const std::string path = Work() + "/\xff\xfe.bin";
    WriteText(path, "roh");
    TPropertiesDialog dialog({path}, nullptr);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Contents(path), "roh");
}

TEST_F(PropertiesDialogTest, AppliesChangedPermissions)
{
    const std::string path = Work() + "/skript";
    WriteFile(path, 1);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    TPropertiesDialog dialog({path}, nullptr);
    dialog.findChild<QCheckBox*>("permission_owner_execute")->setChecked(true);
    dialog.findChild<QCheckBox*>("permission_others_read")->setChecked(false);
    EXPECT_EQ(Value(dialog, "permissionsValue"), "rwxr-----");
    dialog.accept();
    struct stat status;
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0740u);
}

TEST_F(PropertiesDialogTest, OpensWithoutBlockingAndDeletesItselfWhenClosed)
{
    const std::string path = Work() + "/a";
    WriteFile(path, 1);
    QWidget owner;
    TMessageLog messages;

    ShowPropertiesDialog({Work() + "/fehlt"}, &owner);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(owner.findChildren<TPropertiesDialog*>().isEmpty());

    ShowPropertiesDialog({path}, &owner);
    const QList<TPropertiesDialog*> dialogs = owner.findChildren<TPropertiesDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    QPointer<TPropertiesDialog> dialog = dialogs.front();
    EXPECT_TRUE(dialog->isVisible());
    dialog->reject();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 5000));

    // Items given as lists: the one without a path is left out.
    const TItemIdListPtr file = Parse(path);
    const TItemIdListPtr computer = SHGetSpecialFolderLocation(SF_DRIVES);
    const TItemIdList* items[] = {computer.get(), file.get()};
    EXPECT_TRUE(ShowItemPropertiesDialog(&owner, items));
    const QList<TPropertiesDialog*> opened = owner.findChildren<TPropertiesDialog*>();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front()->findChild<QLineEdit*>("nameEdit")->text(), "a");
    EXPECT_FALSE(ShowItemPropertiesDialog(&owner, std::span(items, 1)));
}

}  // namespace
