#pragma once

#include <QLabel>
#include <QString>
#include <QTextDocument>

#include <ostream>

// A name that reads as markup to every guess Qt makes: tags, an entity, a
// picture and a shortcut mark. On disk it is a path: the file
// "b> & <img src=\"x\"> &amp;.txt" in the folder "<b>fett<".
inline const QString kMarkupName = QStringLiteral("<b>fett</b> & <img src=\"x\"> &amp;.txt");

// Failures print texts readably.
inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

// What a user reads in a widget that shows `text` in `format`: the text itself
// when it is taken as plain, else the text of the laid-out document (a picture
// reads as U+FFFC there).
inline QString ShownText(const QString& text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    if (format == Qt::MarkdownText)
        document.setMarkdown(text);
    else
        document.setHtml(text);
    return document.toPlainText();
}

inline QString ShownText(const QLabel& label)
{
    return ShownText(label.text(), label.textFormat());
}

// The caption a menu entry or button draws: "&&" is one "&", a single "&"
// marks the shortcut key and is not drawn; a tab starts the shortcut column.
inline QString ShownMenuText(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\t'))
            break;
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                shown += text[++i];
            continue;
        }
        shown += text[i];
    }
    return shown;
}
