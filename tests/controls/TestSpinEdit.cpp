#include "SpinTestSupport.h"

#include "controls/spin/TPzSpinButton.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include <vector>

namespace {

using TSpinEditTest = TSpinWindowTest;

TEST(SpinEditDefaults, ANewEditIsAWholeNumberEditReadingZero)
{
    TPzSpinEdit edit;
    EXPECT_EQ(edit.text(), "0");
    EXPECT_EQ(edit.Value(), 0.0L);
    EXPECT_EQ(edit.Increment(), 1.0L);
    EXPECT_EQ(edit.MinValue(), 0.0L);
    EXPECT_EQ(edit.MaxValue(), 0.0L);
    EXPECT_EQ(edit.ValueType(), vtInteger);
    EXPECT_EQ(edit.ButtonKind(), bkDiagonal);
    EXPECT_EQ(edit.Decimal(), 2);
    EXPECT_TRUE(edit.EditorEnabled());
    EXPECT_TRUE(edit.ArrowKeys());
    EXPECT_TRUE(edit.AutoSelect());
    EXPECT_EQ(edit.Alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    ASSERT_NE(edit.SpinButton(), nullptr);
    EXPECT_EQ(edit.UpDown(), nullptr);
}

TEST(SpinEditDefaults, FormPropertiesSetTheNumbersAsText)
{
    TPzSpinEdit edit;
    EXPECT_TRUE(edit.setProperty("MinValue", QStringLiteral("1")));
    EXPECT_TRUE(edit.setProperty("MaxValue", QStringLiteral("1E22")));
    EXPECT_TRUE(edit.setProperty("Value", QStringLiteral("1457664")));
    EXPECT_EQ(edit.MinValue(), 1.0L);
    EXPECT_EQ(edit.MaxValue(), 1E22L);
    EXPECT_EQ(edit.text(), "1457664");
    EXPECT_EQ(edit.property("MaxValue").toString(), "1e+22");
    edit.setProperty("MaxValue", QStringLiteral("not a number"));
    EXPECT_EQ(edit.MaxValue(), 1E22L);
}

TEST(SpinEditDefaults, ClampingBoundsByMinAndMaxUnlessTheyAreEqual)
{
    TPzSpinEdit edit;
    EXPECT_EQ(edit.ClampValue(-5), -5.0L);
    edit.SetMinValue(1);
    edit.SetMaxValue(10);
    EXPECT_EQ(edit.ClampValue(0), 1.0L);
    EXPECT_EQ(edit.ClampValue(11), 10.0L);
    EXPECT_EQ(edit.ClampValue(5.5L), 5.5L);
    edit.SetValue(99);
    EXPECT_EQ(edit.text(), "10");
    edit.SetValue(2.5L);
    EXPECT_EQ(edit.text(), "2");
}

TEST_F(TSpinEditTest, ArrowKeysStepTheValueAndOtherKeysDoNot)
{
    EXPECT_EQ(edit_->text(), "1457664");
    QTest::keyClick(edit_, Qt::Key_Up);
    EXPECT_EQ(edit_->text(), "1457665");
    QTest::keyClick(edit_, Qt::Key_Down);
    QTest::keyClick(edit_, Qt::Key_Down);
    EXPECT_EQ(edit_->text(), "1457663");
    QTest::keyClick(edit_, Qt::Key_PageUp);
    QTest::keyClick(edit_, Qt::Key_PageDown);
    EXPECT_EQ(edit_->text(), "1457663");

    edit_->SetArrowKeys(false);
    QTest::keyClick(edit_, Qt::Key_Up);
    EXPECT_EQ(edit_->text(), "1457663");
}

TEST_F(TSpinEditTest, AStepRaisesTheChangeEventOnceThenTheClickEvent)
{
    std::vector<std::string> events;
    edit_->OnChange = [&] { events.push_back("change " + edit_->text().toStdString()); };
    edit_->OnTopClick = [&] { events.push_back("top"); };
    edit_->OnBottomClick = [&] { events.push_back("bottom"); };
    edit_->setModified(false);

    edit_->StepUp();
    EXPECT_EQ(events, (std::vector<std::string>{"change 1457665", "top"}));
    EXPECT_TRUE(edit_->isModified());

    events.clear();
    edit_->SetValue(1E22L);
    events.clear();
    edit_->StepUp();  // already at the top of the 64-bit range: the text stays
    EXPECT_EQ(events, (std::vector<std::string>{"top"}));

    events.clear();
    edit_->SetValue(2);
    edit_->StepDown();
    edit_->StepDown();  // at the lower bound
    EXPECT_EQ(events, (std::vector<std::string>{"change 2", "change 1", "bottom", "bottom"}));
}

TEST_F(TSpinEditTest, TypingRaisesTheChangeEventForEveryCharacter)
{
    int changes = 0;
    edit_->OnChange = [&] { ++changes; };
    TypeIntoEdit("42");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit_->Value(), 42.0L);
}

TEST_F(TSpinEditTest, AReadOnlyEditBeepsInsteadOfStepping)
{
    TBeepCounter beeps;
    int clicks = 0;
    edit_->OnTopClick = [&] { ++clicks; };
    edit_->setReadOnly(true);
    QTest::keyClick(edit_, Qt::Key_Up);
    edit_->StepDown();
    EXPECT_EQ(edit_->text(), "1457664");
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_EQ(clicks, 0);
}

TEST_F(TSpinEditTest, TypingFilterLetsThroughDigitsAndSignsAndBeepsAtTheRest)
{
    TBeepCounter beeps;
    edit_->clear();
    QTest::keyClicks(edit_, "1a2 b+3x-.,e");
    EXPECT_EQ(edit_->text(), "12+3-");
    EXPECT_EQ(beeps.Count(), 7);

    QTest::keyClick(edit_, Qt::Key_Backspace);
    QTest::keyClick(edit_, Qt::Key_Home);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(edit_->text(), "2+3");
    EXPECT_EQ(beeps.Count(), 7);
}

TEST_F(TSpinEditTest, FloatAndHexEditsAcceptTheirOwnCharacters)
{
    TBeepCounter beeps;
    edit_->SetValueType(vtFloat);
    EXPECT_EQ(edit_->text(), "1457664,00");
    edit_->clear();
    QTest::keyClicks(edit_, "1,5,e2E3");
    EXPECT_EQ(edit_->text(), "1,5e23");
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_EQ(edit_->Value(), 1.5E23L);

    edit_->SetMaxValue(0);
    edit_->SetMinValue(0);
    edit_->SetValueType(vtHex);
    edit_->clear();
    QTest::keyClicks(edit_, "fFgA9");
    EXPECT_EQ(edit_->text(), "fFA9");
    EXPECT_EQ(beeps.Count(), 3);
    EXPECT_EQ(edit_->Value(), static_cast<long double>(0xFFA9));
    edit_->StepUp();
    EXPECT_EQ(edit_->text(), "FFAA");
}

TEST_F(TSpinEditTest, FloatStepsAndDecimalsFollowTheLocale)
{
    edit_->SetValueType(vtFloat);
    edit_->SetIncrement(0.25L);
    edit_->SetValue(1);
    edit_->StepUp();
    EXPECT_EQ(edit_->text(), "1,25");
    edit_->SetDecimal(3);
    EXPECT_EQ(edit_->text(), "1,250");
    edit_->SetValueType(vtInteger);
    EXPECT_EQ(edit_->text(), "1");
}

TEST_F(TSpinEditTest, ADisabledEditorStillStepsButTakesNoTypingNorDeleting)
{
    TBeepCounter beeps;
    edit_->SetEditorEnabled(false);
    edit_->setCursorPosition(3);
    QTest::keyClicks(edit_, "7-");
    QTest::keyClick(edit_, Qt::Key_Backspace);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(edit_->text(), "1457664");
    EXPECT_EQ(beeps.Count(), 4);
    QTest::keyClick(edit_, Qt::Key_Up);
    EXPECT_EQ(edit_->text(), "1457665");
    EXPECT_EQ(beeps.Count(), 4);
}

TEST_F(TSpinEditTest, SixtyFourBitWholeNumbersReadBackWhole)
{
    EnterEdit();
    edit_->setText("2147483647");
    EXPECT_EQ(edit_->Value(), 2147483647.0L);
    edit_->StepUp();
    EXPECT_EQ(edit_->text(), "2147483648");
    EXPECT_EQ(edit_->Value(), 2147483648.0L);
    edit_->StepUp();
    EXPECT_EQ(edit_->text(), "2147483649");

    TypeIntoEdit("3000000000");
    LeaveEdit();
    EXPECT_EQ(edit_->text(), "3000000000");
    EXPECT_EQ(edit_->Value(), 3000000000.0L);

    // Beyond 64 bits the text cannot be read: it stays and reads as the lower bound.
    EnterEdit();
    TypeIntoEdit("99999999999999999999");
    LeaveEdit();
    EXPECT_EQ(edit_->text(), "99999999999999999999");
    EXPECT_EQ(edit_->Value(), 1.0L);
}

TEST_F(TSpinEditTest, LeavingTheFieldBoundsTheValueButKeepsUnreadableText)
{
    struct TCase
    {
        const char* typed;
        const char* left;
    };
    for (const TCase& c :
         {TCase{"0", "1"}, TCase{"-5", "1"}, TCase{"+17", "+17"}, TCase{"12-3", "12-3"}, TCase{"", ""}}) {
        EnterEdit();
        TypeIntoEdit(c.typed);
        if (c.typed[0] == '\0')
            QTest::keyClick(edit_, Qt::Key_Backspace);
        LeaveEdit();
        EXPECT_EQ(edit_->text(), c.left) << c.typed;
    }
    EXPECT_EQ(edit_->Value(), 1.0L);

    edit_->SetMaxValue(100);
    EnterEdit();
    TypeIntoEdit("500");
    LeaveEdit();
    EXPECT_EQ(edit_->text(), "100");
}

TEST_F(TSpinEditTest, EnteringByKeyboardSelectsAllButAClickDoesNot)
{
    LeaveEdit();
    EnterEdit();
    EXPECT_EQ(edit_->selectedText(), "1457664");

    LeaveEdit();
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, edit_->mapTo(window_.get(), QPoint(5, 5)));
    ASSERT_TRUE(edit_->hasFocus());
    EXPECT_FALSE(edit_->hasSelectedText());

    LeaveEdit();
    edit_->SetAutoSelect(false);
    EnterEdit();
    EXPECT_FALSE(edit_->hasSelectedText());
}

TEST_F(TSpinEditTest, PasteAndCutOnlyWhileTheEditorIsEnabledAndWritable)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("abc");
    edit_->selectAll();
    QTest::keySequence(edit_, QKeySequence::Paste);
    EXPECT_EQ(edit_->text(), "abc");  // pasted text is not filtered
    EXPECT_EQ(edit_->Value(), 1.0L);

    for (const bool readOnly : {false, true}) {
        edit_->setText("123");
        edit_->SetEditorEnabled(readOnly);
        edit_->setReadOnly(readOnly);
        clipboard->setText("9");
        edit_->selectAll();
        QTest::keySequence(edit_, QKeySequence::Paste);
        QTest::keySequence(edit_, QKeySequence::Cut);
        EXPECT_EQ(edit_->text(), "123");
        EXPECT_EQ(clipboard->text(), "9");

        // The menu keeps only the commands that leave the text alone: copy and select all.
        const auto menu = edit_->CreateContextMenu();
        std::vector<bool> enabled;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                enabled.push_back(action->isEnabled());
        EXPECT_EQ(enabled, (std::vector<bool>{true, false}));
        EXPECT_EQ(edit_->isReadOnly(), readOnly);
    }

    edit_->setReadOnly(false);
    edit_->SetEditorEnabled(true);
    edit_->selectAll();
    QTest::keySequence(edit_, QKeySequence::Cut);
    EXPECT_EQ(edit_->text(), "");
    EXPECT_EQ(clipboard->text(), "123");
}

TEST(SpinEditDialog, EnterClicksTheDefaultButtonAndEscCancels)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new TPzSpinEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    layout->addWidget(edit);
    layout->addWidget(ok);
    ok->setDefault(true);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(edit->text(), "0");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
