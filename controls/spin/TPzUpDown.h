#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

// The standard up-down control: two arrow buttons stacked vertically, each reporting one step per
// click and repeating while held. It keeps no position of its own, so every click is one step.
class TPzUpDown : public QWidget
{
    Q_OBJECT
public:
    // Widest the control gets, however wide the style's scroll bars are.
    static constexpr int kMaxWidth = 15;

    explicit TPzUpDown(QWidget* parent = nullptr);

    // The width the control takes: the style's vertical scroll bar width, at most kMaxWidth.
    int PreferredWidth() const;
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    std::function<void()> OnUp;
    std::function<void()> OnDown;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};
