#include "app/forms/TAboutBox.h"
#include "app/forms/TMainForm.h"
#include "app/start/TProgram.h"
#include "controls/spin/TPzSpinEdit.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <typename T = QWidget>
T* Child(QWidget* form, const char* name)
{
    T* child = form->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A run of the program as main starts it, with the main window on screen.
class MainFormTest : public testing::Test
{
protected:
    void SetUp() override
    {
        program_ = std::make_unique<TProgram>();
        form_ = &program_->MainForm();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    }

    QWidget* Named(const char* name) { return Child(form_, name); }

    // The widgets that Tab visits, in order, starting at `first`.
    QStringList TabCycle(QWidget* first)
    {
        QStringList names;
        QWidget* widget = first;
        do {
            if (widget->isVisibleTo(form_) && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
                !widget->focusProxy())
                names << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != first);
        return names;
    }

    std::unique_ptr<TProgram> program_;
    TMainForm* form_ = nullptr;
};

TEST_F(MainFormTest, StartsOnTheSplitTabWithTheFloppySizeAndAnEmptyLog)
{
    auto* pages = Child<QTabWidget>(form_, "PageControl1");
    EXPECT_EQ(pages->currentWidget(), Named("TabSheet1"));
    auto* sizeEd = Child<TPzSpinEdit>(form_, "SizeEd");
    EXPECT_EQ(sizeEd->Value(), 1457664.0L);
    EXPECT_EQ(sizeEd->text(), QStringLiteral("1457664"));
    EXPECT_EQ(sizeEd->MinValue(), 1.0L);
    EXPECT_EQ(sizeEd->MaxValue(), 1E22L);
    EXPECT_TRUE(Child<QPlainTextEdit>(form_, "Memo1")->toPlainText().isEmpty());
    EXPECT_TRUE(Child<QStatusBar>(form_, "StatusBar1")->currentMessage().isEmpty());
}

TEST_F(MainFormTest, LabelsShowTheirWholeCaption)
{
    for (const char* name : {"Label1", "Label2", "Label4"}) {
        auto* label = Child<QLabel>(form_, name);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
    }
}

TEST_F(MainFormTest, TabsShowTheirTwentyFourPixelImages)
{
    auto* pages = Child<QTabWidget>(form_, "PageControl1");
    EXPECT_EQ(pages->iconSize(), QSize(24, 24));
    EXPECT_EQ(form_->ImageList1().ImageSize(), QSize(24, 24));
    ASSERT_EQ(form_->ImageList1().Count(), 2);
    for (int tab = 0; tab < 2; ++tab) {
        const QImage image = form_->ImageList1().Pixmap(tab).toImage();
        EXPECT_EQ(image.size(), QSize(24, 24));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the corner is transparent";
        EXPECT_EQ(qAlpha(image.pixel(12, 12)), 255) << "the middle is drawn";
        EXPECT_FALSE(pages->tabIcon(tab).isNull());
    }
    EXPECT_NE(form_->ImageList1().Pixmap(0).toImage(), form_->ImageList1().Pixmap(1).toImage());
}

TEST_F(MainFormTest, TabVisitsButtonsThenPagesThenTheLog)
{
    const QStringList cycle = TabCycle(Named("AboutBtn"));
    const QStringList expected{
        QStringLiteral("AboutBtn"),     QStringLiteral("EndeprgBtn"),    QStringLiteral("qt_tabwidget_tabbar"),
        QStringLiteral("SizeEd"),       QStringLiteral("SizePresetBtn"), QStringLiteral("PzShellTree1"),
        QStringLiteral("PzShellList1"), QStringLiteral("Memo1")};
    EXPECT_EQ(cycle, expected) << cycle.join(QLatin1Char(' ')).toStdString();

    // The log memo hands Tab on instead of typing it.
    auto* memo = Child<QPlainTextEdit>(form_, "Memo1");
    EXPECT_TRUE(memo->tabChangesFocus());
    EXPECT_EQ(Named("StatusBar1")->focusPolicy() & Qt::TabFocus, 0);
}

TEST(MainFormEnd, EscEndsLikeBeendenWhereverTheFocusIs)
{
    for (const char* focused : {"SizeEd", "Memo1", "AboutBtn", "qt_tabwidget_tabbar"}) {
        TProgram program;
        TMainForm& form = program.MainForm();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QSignalSpy endClicks(Child<QPushButton>(&form, "EndeprgBtn"), &QPushButton::clicked);
        QWidget* target = Child(&form, focused);
        target->setFocus();
        ASSERT_TRUE(target->hasFocus()) << focused;

        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible()) << focused;
        EXPECT_EQ(endClicks.count(), 1) << focused;
    }
}

TEST(MainFormEnd, EscWithCtrlOrShiftAndTheButtonItselfBehave)
{
    TProgram program;
    TMainForm& form = program.MainForm();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QWidget* memo = Child(&form, "Memo1");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Escape, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_TRUE(form.isVisible());

    QTest::mouseClick(Child(&form, "EndeprgBtn"), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST(MainFormAbout, AboutButtonShowsTheBoxModallyAgainAndAgain)
{
    TProgram program;
    TMainForm& form = program.MainForm();
    TAboutBox& box = program.AboutBox();
    EXPECT_FALSE(box.isVisible()) << "made hidden at start";
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    for (int round = 0; round < 2; ++round) {
        bool wasModal = false;
        QTimer::singleShot(0, &box, [&] {
            wasModal = box.isVisible() && QApplication::activeModalWidget() == &box;
            QTest::mouseClick(Child(&box, "BitBtn1"), Qt::LeftButton);
        });
        QTest::mouseClick(Child(&form, "AboutBtn"), Qt::LeftButton);
        EXPECT_TRUE(wasModal) << round;
        EXPECT_FALSE(box.isVisible()) << round;
        EXPECT_EQ(box.result(), QDialog::Accepted) << round;
    }
    EXPECT_TRUE(form.isVisible());
}

}  // namespace
