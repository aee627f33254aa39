#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Makes a window take no input for the lifetime of a scope, while it goes on
// painting: keys, mouse and drops aimed at it are dropped; other windows (the
// progress window, message boxes) are not touched. Esc pressed in it calls
// OnEscape instead.
class TModalInputGuard : public QObject
{
public:
    TModalInputGuard(QWidget* window, std::function<void()> onEscape);
    ~TModalInputGuard() override;
    TModalInputGuard(const TModalInputGuard&) = delete;
    TModalInputGuard& operator=(const TModalInputGuard&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<void()> onEscape_;
};
