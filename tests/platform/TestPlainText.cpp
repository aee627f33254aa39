#include "CommandTestSupport.h"
#include "NamespaceFixture.h"
#include "tests/support/ShownText.h"

#include "platform/commands/IContextMenu.h"
#include "platform/dialogs/TConflictPrompt.h"
#include "platform/dialogs/TOperationProgress.h"
#include "platform/dialogs/TPropertiesDialog.h"
#include "platform/namespace/ShellNamespace.h"

#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>

namespace {

// Every place that shows a name from the file system or the desktop, fed the
// same markup-like name.
class PlainTextTest : public NamespaceFixture
{
protected:
    void SetUp() override
    {
        NamespaceFixture::SetUp();
        MakeDirectory(Work() + "/<b>fett<");
        WriteFile(NamePath(), 3);
    }

    std::string NamePath() const { return Work() + "/" + kMarkupName.toStdString(); }
};

TEST_F(PlainTextTest, PropertiesShowTheLinkTargetAsWritten)
{
    MakeSymlink(kMarkupName.toStdString(), Work() + "/verweis");
    TPropertiesDialog dialog({Work() + "/verweis"}, nullptr);
    const auto* target = dialog.findChild<QLabel*>("linkTargetValue");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(ShownText(*target), kMarkupName);
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_EQ(ShownText(*label), label->text()) << label->objectName().toStdString();
}

TEST_F(PlainTextTest, ProgressNamesTheCurrentItemAsWritten)
{
    const auto delay = TOperationProgress::ShowDelay();
    TOperationProgress::SetShowDelay(std::chrono::milliseconds(0));
    {
        TOperationProgress progress(nullptr, QStringLiteral("Kopieren"));
        progress.SetTotal(2);
        progress.SetCurrentItem(kMarkupName);
        EXPECT_TRUE(progress.Step(1));
        ASSERT_NE(progress.Dialog(), nullptr);
        const auto* label = progress.Dialog()->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(ShownText(*label), kMarkupName);
    }
    TOperationProgress::SetShowDelay(delay);
}

TEST_F(PlainTextTest, OpenWithListsTheApplicationNameWithoutAShortcutMark)
{
    auto launcher = std::make_shared<TRecordingLauncher>();
    launcher->AppsByType["text/plain"] = {{"fett.desktop", kMarkupName, ""}};
    TScopedLauncher scopedLauncher(launcher);
    const TItemIdListPtr absolute = Parse(NamePath());
    const TItemIdList* item = LastIDListItem(absolute.get());
    IUIObjectPtr object;
    ASSERT_TRUE(SHBindToFolder(TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1).get())
                    ->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::ContextMenu, object)
                    .Succeeded());
    QMenu menu;
    unsigned count = 0;
    ASSERT_TRUE(std::dynamic_pointer_cast<IContextMenu>(object)
                    ->QueryContextMenu(menu, -1, 1, 100, CMF_EXPLORE, count)
                    .Succeeded());
    const auto* openWith = menu.findChild<QMenu*>();
    ASSERT_NE(openWith, nullptr);
    ASSERT_EQ(openWith->actions().size(), 1);
    const QString text = openWith->actions().front()->text();
    EXPECT_EQ(ShownMenuText(text), kMarkupName);
    EXPECT_TRUE(QKeySequence::mnemonic(text).isEmpty());
}

TEST_F(PlainTextTest, ConflictPromptQuotesThePathUnchanged)
{
    TMessageRequest asked;
    TScopedMessageHandler handler([&](const TMessageRequest& request) {
        asked = request;
        return TMessageAnswer{1, false};
    });
    TConflictPrompt prompt(nullptr);
    EXPECT_EQ(prompt.Ask(NamePath(), Home() + "/ziel.txt"), TConflictChoice::Skip);
    // The box shows its text as plain text, so the name must arrive unescaped.
    EXPECT_TRUE(asked.Text.contains(QStringLiteral("„") + QFile::decodeName(NamePath().c_str()) + QStringLiteral("“")))
        << asked.Text.toStdString();
}

}  // namespace
