#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QPainter;
class QTimer;

enum TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };

// A square spin button cut by its diagonal from the lower-left to the upper-right corner: the
// upper-left triangle steps up, the lower-right one steps down. Holding a half down repeats its
// step, first after kFirstRepeatDelay and then every kRepeatInterval.
class TPzSpinButton : public QWidget
{
    Q_OBJECT
public:
    // Pause before a held half repeats its step, as long as a keyboard's repeat delay.
    static constexpr int kFirstRepeatDelay = 400;
    // Pace of the repeated steps while a half stays held.
    static constexpr int kRepeatInterval = 100;
    // Size of a new button.
    static constexpr int kDefaultSize = 20;

    explicit TPzSpinButton(QWidget* parent = nullptr);
    ~TPzSpinButton() override;

    TSpinButtonState Down() const { return down_; }
    // The control that takes the focus when the button is pressed (the edit); cleared when it goes away.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* control) { focusControl_ = control; }

    // Which half a point of the button lies in.
    TSpinButtonState HalfAt(const QPoint& point) const;
    // Null until the first press.
    QTimer* RepeatTimer() const { return repeatTimer_.get(); }

    // Paints a button of the given size in the given state. Colours come from the palette: Button for
    // the face, Shadow for the frame and the cutting diagonal, Light and Dark for the raised and
    // sunken edges, ButtonText for the arrows.
    static void Draw(QPainter& painter, const QSize& size, TSpinButtonState state, const QPalette& palette);

    std::function<void()> OnTopClick;
    std::function<void()> OnBottomClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetDown(TSpinButtonState state);
    void RunStep(TSpinButtonState half);
    void RepeatStep();
    void EndDrag();
    bool HoldsMouse() const;
    void FocusTheControl();

    TSpinButtonState down_ = sbNotDown;
    TSpinButtonState dragDown_ = sbNotDown;
    bool dragging_ = false;
    std::unique_ptr<QTimer> repeatTimer_;
    QPointer<QWidget> focusControl_;
};
