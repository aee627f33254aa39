#include "shell/panes/TPzPaneNotice.h"

#include "platform/core/system/LastError.h"

#include <QAbstractScrollArea>
#include <QEvent>

TPzPaneNotice::TPzPaneNotice(QAbstractScrollArea& pane)
    : QLabel(pane.viewport())
{
    setObjectName(QStringLiteral("paneNotice"));
    // File names and system texts are shown as they are, never as markup.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setMargin(4);
    hide();
    pane.viewport()->installEventFilter(this);
}

void TPzPaneNotice::ShowListingFailure(int error, const QString& folder)
{
    setText(ListingFailureText(error, folder));
    Place();
    show();
    raise();
}

void TPzPaneNotice::ShowReading()
{
    setText(ReadingText());
    Place();
    show();
    raise();
}

QString TPzPaneNotice::ReadingText()
{
    return QStringLiteral("Ordner wird gelesen…");
}

void TPzPaneNotice::Withdraw()
{
    hide();
    clear();
}

QString TPzPaneNotice::ListingFailureText(int error, const QString& folder)
{
    const QString reason = QString::fromLocal8Bit(GetSystemErrorText(error));
    if (folder.isEmpty())
        return QStringLiteral("Der Ordner konnte nicht vollständig gelesen werden: %1.").arg(reason);
    return QStringLiteral("Der Ordner „%1“ konnte nicht vollständig gelesen werden: %2.").arg(folder, reason);
}

bool TPzPaneNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        Place();
    return QLabel::eventFilter(watched, event);
}

void TPzPaneNotice::Place()
{
    const QWidget* viewport = parentWidget();
    const int width = viewport->width();
    setFixedWidth(width);
    setFixedHeight(heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height());
    move(0, 0);
}
