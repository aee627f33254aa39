#pragma once

#include <QLabel>
#include <QString>

class QAbstractScrollArea;

// A line across the top of a pane's viewport that tells why the pane shows
// what it shows (a folder that could not be read to its end, or is still
// being read). It covers the first rows only while it is shown, and follows
// the viewport's width.
class TPzPaneNotice final : public QLabel
{
    Q_OBJECT
public:
    explicit TPzPaneNotice(QAbstractScrollArea& pane);

    // Shows the line for a listing that failed with this errno value; a pane
    // that shows several folders names the one (`folder`, a path).
    void ShowListingFailure(int error, const QString& folder = QString());
    // Shows the line of a listing that has not ended yet.
    void ShowReading();
    // Hides the line; its text is then "".
    void Withdraw();
    // The line shown now, "" when none.
    QString Shown() const { return isHidden() ? QString() : text(); }

    // The line shown while a listing runs.
    static QString ReadingText();
    // The line a failed listing shows.
    static QString ListingFailureText(int error, const QString& folder = QString());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
};
