#include "controls/buttons/ButtonKinds.h"
#include "controls/buttons/KindGlyphs.h"
#include "controls/buttons/TBitBtnXP.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

TEST(ButtonKinds, EachKindSetsItsValuesAndReadsBack)
{
    for (int k = bkOK; k <= bkAll; ++k) {
        const auto kind = TBitBtnXPKind(k);
        const TKindValues& values = KindValues(kind);
        TBitBtnXP button;
        button.SetKind(kind);
        SCOPED_TRACE(values.Caption.toStdString());
        EXPECT_EQ(button.Kind(), kind);
        EXPECT_EQ(button.text(), values.Caption);
        EXPECT_EQ(button.Default(), kind == bkOK || kind == bkYes);
        EXPECT_EQ(button.Cancel(), kind == bkCancel || kind == bkNo);
        EXPECT_EQ(button.ModalResult(), values.ModalResult);
        EXPECT_EQ(button.NumGlyphs(), 2);
        EXPECT_EQ(button.Glyph().width(), 36);
        EXPECT_EQ(button.Glyph().height(), kind == bkAll ? 19 : 18);
        EXPECT_EQ(button.GlyphPainter().MaskColor(), qRgb(0x80, 0x80, 0x00));
    }
    EXPECT_TRUE(KindGlyph(bkCustom).isNull());
}

TEST(ButtonKinds, ChangedRoleOrGlyphTurnsTheKindCustom)
{
    TBitBtnXP ok;
    ok.SetKind(bkOK);
    ok.SetDefault(false);
    EXPECT_EQ(ok.Kind(), bkCustom);
    // Assigning the kind again restores all of its values.
    ok.SetKind(bkOK);
    EXPECT_EQ(ok.Kind(), bkOK);
    EXPECT_TRUE(ok.Default());

    TBitBtnXP cancel;
    cancel.SetKind(bkCancel);
    cancel.SetModalResult(mrOk);
    EXPECT_EQ(cancel.Kind(), bkCustom);

    TBitBtnXP help;
    help.SetKind(bkHelp);
    help.setText(QStringLiteral("Über das Programm..."));
    EXPECT_EQ(help.Kind(), bkHelp);
    help.SetGlyph(KindGlyph(bkHelp));
    EXPECT_EQ(help.Kind(), bkCustom);
}

TEST(ButtonKinds, CaptionFromTheFormSurvivesTheKind)
{
    TBitBtnXP fromForm;
    fromForm.setText(QStringLiteral("Beenden"));
    fromForm.SetKind(bkCancel);
    fromForm.Loaded();
    EXPECT_EQ(fromForm.text(), QStringLiteral("Beenden"));

    TBitBtnXP noCaption;
    noCaption.SetKind(bkOK);
    noCaption.Loaded();
    EXPECT_EQ(noCaption.text(), QStringLiteral("OK"));

    // After loading a kind always brings its caption.
    fromForm.SetKind(bkYes);
    EXPECT_EQ(fromForm.text(), QStringLiteral("&Ja"));
}

TEST(ButtonKinds, PropertiesAsAFormSetsThem)
{
    TBitBtnXP button;
    EXPECT_TRUE(button.setProperty("kind", QStringLiteral("bkNo")));
    EXPECT_EQ(button.Kind(), bkNo);
    EXPECT_TRUE(button.property("cancel").toBool());

    TBitBtnXP custom;
    custom.setProperty("glyph", QStringLiteral(":/parzello/glyphs/retry.bmp"));
    EXPECT_EQ(custom.Glyph().size(), QSize(36, 18));
    EXPECT_EQ(custom.NumGlyphs(), 2);  // square cells counted
    custom.setProperty("numGlyphs", 9);
    EXPECT_EQ(custom.NumGlyphs(), 4);
    custom.setProperty("margin", -5);
    EXPECT_EQ(custom.Margin(), -1);
    custom.setProperty("margin", 3);
    EXPECT_EQ(custom.Margin(), 3);
    custom.setProperty("layout", QStringLiteral("blGlyphTop"));
    EXPECT_EQ(custom.Layout(), blGlyphTop);
    custom.setProperty("glyph", QStringLiteral("/nonexistent/glyph.bmp"));
    EXPECT_TRUE(custom.Glyph().isNull());
}

TEST(ButtonClicks, ModalResultClosesTheModalDialogBeforeOnClick)
{
    QDialog dialog;
    dialog.setModal(true);
    auto* ok = new TBitBtnXP(&dialog);
    ok->SetKind(bkOK);
    bool visibleAtClick = true;
    ok->OnClick = [&] { visibleAtClick = dialog.isVisible(); };
    dialog.show();
    ok->click();
    EXPECT_EQ(dialog.result(), mrOk);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(visibleAtClick);

    // A dialog shown without modality is left alone.
    QDialog modeless;
    auto* retry = new TBitBtnXP(&modeless);
    retry->SetKind(bkRetry);
    modeless.show();
    retry->click();
    EXPECT_TRUE(modeless.isVisible());
}

TEST(ButtonClicks, CloseAndHelpKindsActInsteadOfOnClick)
{
    QWidget window;
    auto* close = new TBitBtnXP(&window);
    close->SetKind(bkClose);
    int clicks = 0;
    close->OnClick = [&] { ++clicks; };
    window.show();
    close->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(clicks, 0);

    QWidget form;
    auto* panel = new QWidget(&form);
    auto* help = new TBitBtnXP(panel);
    help->SetKind(bkHelp);
    help->OnClick = [&] { ++clicks; };
    int topic = 0;
    const auto previous = TBitBtnXP::SetHelpHandler([&](int context) { topic = context; });
    help->click();
    EXPECT_EQ(clicks, 1);  // no help topic anywhere: an ordinary click
    form.setProperty("HelpContext", 42);
    help->click();
    EXPECT_EQ(topic, 42);
    EXPECT_EQ(clicks, 1);
    TBitBtnXP::SetHelpHandler(previous);
}

TEST(ButtonClicks, FastDoubleClickClicksTwice)
{
    TBitBtnXP button;
    button.resize(100, 30);
    button.show();
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    const QPoint centre = button.rect().center();
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, centre);
    // The second press of a double-click arrives as a double-click event.
    QMouseEvent second(QEvent::MouseButtonDblClick, centre, button.mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(&button, &second);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(clicks, 2);
}
