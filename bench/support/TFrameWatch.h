#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

// Watches the paint events of a widget (a list's page, a whole window) and
// keeps the longest pause between two painted frames since Start().
class TFrameWatch : public QObject
{
public:
    explicit TFrameWatch(QWidget* painted);
    void Start();
    // The pause since the last frame counts too, so that a frozen end is seen.
    double LongestGapMs() const;
    int Frames() const { return frames_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    int frames_ = 0;
};
