#include "controls/buttons/TBitBtnXP.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A window with a line edit, an OK and a cancel button, shown and focused on
// the line edit.
template <typename TWindow>
struct TForm
{
    TWindow window;
    QLineEdit* edit = new QLineEdit(&window);
    TBitBtnXP* ok = new TBitBtnXP(&window);
    TBitBtnXP* cancel = new TBitBtnXP(&window);
    int okClicks = 0;
    int cancelClicks = 0;

    TForm()
    {
        ok->SetKind(bkOK);
        cancel->SetKind(bkCancel);
        ok->OnClick = [this] { ++okClicks; };
        cancel->OnClick = [this] { ++cancelClicks; };
        ok->move(0, 40);
        cancel->move(100, 40);
        window.show();
        window.activateWindow();
        edit->setFocus();
    }
};

}  // namespace

TEST(ButtonKeys, EscClicksTheCancelButtonOfAPlainWindow)
{
    TForm<QWidget> form;
    QTest::keyClick(form.edit, Qt::Key_Escape, Qt::ControlModifier);
    QTest::keyClick(form.edit, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(form.cancelClicks, 0);
    QTest::keyClick(form.edit, Qt::Key_Escape);
    EXPECT_EQ(form.cancelClicks, 1);

    // A cancel button that cannot be clicked is passed over.
    form.cancel->setEnabled(false);
    QTest::keyClick(form.edit, Qt::Key_Escape);
    EXPECT_EQ(form.cancelClicks, 1);
}

TEST(ButtonKeys, EnterClicksTheDefaultOrTheFocusedButton)
{
    TForm<QWidget> form;
    QTest::keyClick(form.edit, Qt::Key_Return);
    QTest::keyClick(form.edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form.okClicks, 2);
    EXPECT_TRUE(form.ok->ShowsDefault());

    form.cancel->setFocus();
    EXPECT_FALSE(form.ok->ShowsDefault());
    QTest::keyClick(form.cancel, Qt::Key_Return);
    EXPECT_EQ(form.cancelClicks, 1);
    EXPECT_EQ(form.okClicks, 2);
}

TEST(ButtonKeys, EnterClicksAFocusedButtonOfAWindowWithoutRoles)
{
    QWidget window;
    auto* button = new TBitBtnXP(&window);
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    window.show();
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
}

TEST(ButtonKeys, DialogClosesWithTheButtonsModalResult)
{
    TForm<QDialog> escaped;
    escaped.window.setModal(true);
    QTest::keyClick(escaped.edit, Qt::Key_Escape);
    EXPECT_EQ(escaped.cancelClicks, 1);
    EXPECT_EQ(escaped.window.result(), mrCancel);
    EXPECT_FALSE(escaped.window.isVisible());

    TForm<QDialog> entered;
    entered.window.setModal(true);
    QTest::keyClick(entered.edit, Qt::Key_Return);
    EXPECT_EQ(entered.okClicks, 1);
    EXPECT_EQ(entered.window.result(), QDialog::Accepted);
}

TEST(ButtonKeys, ButtonsOfAnInnerWindowDoNotAnswerForTheOuter)
{
    QWidget outer;
    auto* edit = new QLineEdit(&outer);
    QDialog inner(&outer);
    auto* cancel = new TBitBtnXP(&inner);
    cancel->SetKind(bkCancel);
    int clicks = 0;
    cancel->OnClick = [&] { ++clicks; };
    outer.show();
    inner.show();
    auto* outerCancel = new TBitBtnXP(&outer);
    outerCancel->SetCancel(true);  // installs the outer window's keys
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks, 0);
}
