#include "framework/PlainText.h"

#include <QTextDocument>

QString PlainToolTip(const QString& text)
{
    if (text.isEmpty())
        return {};
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

QString PlainMenuText(const QString& text)
{
    QString menuText = text;
    menuText.replace(QLatin1Char('&'), QStringLiteral("&&"));
    menuText.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return menuText;
}
