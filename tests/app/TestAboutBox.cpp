#include "app/forms/AddressOpener.h"
#include "app/forms/TAboutBox.h"
#include "controls/buttons/TBitBtnXP.h"

#include <QDate>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kNoticeTemplate = QStringLiteral("Copyright © 1996-XXXX Morvek Computersoftware");

template <typename T = QWidget>
T* Child(QWidget* form, const char* name)
{
    T* child = form->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(AboutBox, NoticeCarriesTheYearOfTheStartAndNothingElseChanges)
{
    const int yearBefore = QDate::currentDate().year();
    TAboutBox box;
    const int yearAfter = QDate::currentDate().year();

    QString notice = Child<QLabel>(&box, "Copyright")->text();
    EXPECT_FALSE(notice.contains(QStringLiteral("XXXX")));
    // Put the placeholder back where the year stands: the rest is the form's text.
    const qsizetype at = kNoticeTemplate.indexOf(QStringLiteral("XXXX"));
    const QString year = notice.mid(at, 4);
    EXPECT_TRUE(year == QString::number(yearBefore) || year == QString::number(yearAfter)) << year.toStdString();
    notice.replace(at, 4, QStringLiteral("XXXX"));
    EXPECT_EQ(notice, kNoticeTemplate);
}

TEST(AboutBox, InsertYearReplacesOnlyTheFirstPlaceholder)
{
    EXPECT_EQ(TAboutBox::InsertYear(QStringLiteral("XXXX"), 2026), QStringLiteral("2026"));
    EXPECT_EQ(TAboutBox::InsertYear(QStringLiteral("(c) XXXX, XXXX"), 1999), QStringLiteral("(c) 1999, XXXX"));
    EXPECT_EQ(TAboutBox::InsertYear(QStringLiteral("XXXXX!"), 2031), QStringLiteral("2031X!"));
    EXPECT_EQ(TAboutBox::InsertYear(QStringLiteral("a XXX b xxxx"), 2026), QStringLiteral("a XXX b xxxx"));
    EXPECT_EQ(TAboutBox::InsertYear(QString(), 2026), QString());
    EXPECT_EQ(TAboutBox::InsertYear(QStringLiteral("bis XXXX"), 10000), QStringLiteral("bis 10000"));
}

TEST(AboutBox, WebButtonHandsExactlyItsCaptionToTheOpener)
{
    QStringList opened;
    TScopedAddressOpener opener([&](const QString& address) { opened << address; });
    TAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    auto* webButton = Child<QPushButton>(&box, "BitBtnXP1");
    EXPECT_EQ(webButton->text(), QStringLiteral("www.morvek.example"));

    QTest::mouseClick(webButton, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{webButton->text()});
    EXPECT_TRUE(box.isVisible()) << "opening the site leaves the box open";
}

TEST(AboutBox, OpenerIsRestoredWhenItsScopeEnds)
{
    QStringList outer;
    TScopedAddressOpener outerOpener([&](const QString& address) { outer << address; });
    {
        QStringList inner;
        TScopedAddressOpener innerOpener([&](const QString& address) { inner << address; });
        OpenAddress(QStringLiteral("mailto:info@morvek.example"));
        EXPECT_EQ(inner.size(), 1);
    }
    OpenAddress(QStringLiteral("www.morvek.example"));
    EXPECT_EQ(outer, QStringList{QStringLiteral("www.morvek.example")});
}

TEST(AboutBox, ComponentsSitWhereTheFormPutsThem)
{
    TAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(box.size(), QSize(664, 453));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "not resizable";
    EXPECT_EQ(box.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(box.font().pixelSize(), 11);

    QWidget* panel = Child(&box, "Panel1");
    EXPECT_EQ(panel->geometry(), QRect(8, 8, 649, 385));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(240, 202, 166));
    EXPECT_EQ(Child(&box, "ProgramIcon")->geometry(), QRect(16, 40, 306, 322));
    EXPECT_EQ(Child(&box, "BitBtnXP1")->geometry(), QRect(336, 240, 169, 25));
    EXPECT_EQ(Child(&box, "BitBtn1")->geometry(), QRect(241, 404, 181, 37));
    EXPECT_EQ(Child(&box, "Comments")->geometry(), QRect(336, 56, 257, 33));
    EXPECT_EQ(Child(&box, "Label3")->geometry(), QRect(336, 128, 238, 121));
    for (const char* name : {"Comments", "Label3"})
        EXPECT_TRUE(Child<QLabel>(&box, name)->wordWrap()) << name;
    EXPECT_EQ(Child(&box, "ProductName")->pos(), QPoint(8, 8));
    EXPECT_EQ(Child(&box, "Label1")->pos(), QPoint(336, 96));
    EXPECT_EQ(Child(&box, "Label2")->pos(), QPoint(336, 112));

    const QFont product = Child(&box, "ProductName")->font();
    EXPECT_EQ(product.family(), QStringLiteral("Arial Narrow"));
    EXPECT_EQ(product.pixelSize(), 24);
    EXPECT_TRUE(product.bold());
    EXPECT_TRUE(Child(&box, "Label1")->font().bold());
    EXPECT_EQ(Child<QLabel>(&box, "Comments")->text(),
              QStringLiteral("Dies ist eine Morvek Computersoftware Produktion. (info@morvek.example)"));
}

TEST(AboutBox, ShowsItsPictureAndTheWebGlyph)
{
    TAboutBox box;
    EXPECT_TRUE(box.PictureError().isEmpty()) << box.PictureError().toStdString();
    const QPixmap picture = Child<QLabel>(&box, "ProgramIcon")->pixmap();
    EXPECT_EQ(picture.size(), QSize(306, 322));
    // The web glyph: a normal and a disabled cell on the olive transparent colour.
    auto* webButton = Child<TBitBtnXP>(&box, "BitBtnXP1");
    EXPECT_EQ(webButton->Glyph().size(), QSize(36, 18));
    EXPECT_EQ(webButton->NumGlyphs(), 2);
    EXPECT_EQ(webButton->Glyph().pixelColor(0, 17), QColor(128, 128, 0));
    EXPECT_EQ(webButton->Kind(), bkCustom);
}

TEST(AboutBox, EnterOrOkClosesTheBoxWithTheOkResult)
{
    TAboutBox box;
    auto* ok = Child<TBitBtnXP>(&box, "BitBtn1");
    EXPECT_EQ(ok->Kind(), bkOK);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(ok->ModalResult(), QDialog::Accepted);

    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    ASSERT_NE(box.focusWidget(), nullptr);
    QTest::keyClick(box.focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
