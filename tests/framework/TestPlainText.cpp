#include "tests/support/ShownText.h"

#include "framework/MessageBox.h"
#include "framework/PlainText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

QLabel* LabelShowing(const QWidget& parent, const QString& part)
{
    for (QLabel* label : parent.findChildren<QLabel*>()) {
        if (label->text().contains(part))
            return label;
    }
    return nullptr;
}

TEST(PlainText, MessageBoxShowsAQuotedNameAsWritten)
{
    TMessageRequest request;
    request.Caption = QStringLiteral("Öffnen");
    request.Text = QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden.\n\nZweite Zeile").arg(kMarkupName);
    request.Buttons = {QStringLiteral("Wiederholen"), QStringLiteral("Abbrechen")};
    QString shown;
    // The real box, answered by clicking once it is up.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        if (const QLabel* label = LabelShowing(*box, QStringLiteral("fett")))
            shown = ShownText(*label);
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == request.Buttons[1])
                button->click();
        }
    });
    poll.start();
    EXPECT_EQ(ShowMessageBox(request).Button, 1);
    EXPECT_EQ(shown, request.Text);
}

TEST(PlainText, ToolTipShowsTheLinesAsWritten)
{
    QWidget owner;
    owner.resize(200, 100);
    owner.show();
    const QString tip = QStringLiteral("Typ: %1\nGröße:  2 KB").arg(kMarkupName);
    QToolTip::showText(owner.mapToGlobal(QPoint(10, 10)), PlainToolTip(tip), &owner);
    const QLabel* label = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible())
            label = qobject_cast<QLabel*>(widget);
    }
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(ShownText(*label), tip);
    QToolTip::hideText();
    EXPECT_TRUE(PlainToolTip(QString()).isEmpty()) << "no text, no tip";
}

TEST(PlainText, MenuEntryShowsTheNameWithoutAShortcutMark)
{
    QMenu menu;
    const QAction* action = menu.addAction(PlainMenuText(kMarkupName));
    EXPECT_EQ(ShownMenuText(action->text()), kMarkupName);
    EXPECT_TRUE(QKeySequence::mnemonic(action->text()).isEmpty());
}

}  // namespace
