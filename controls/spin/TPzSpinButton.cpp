#include "controls/spin/TPzSpinButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The arrows are 6 x 6 pixel pictures; '#' pixels take the button text colour, the rest stays face.
constexpr int kArrowSize = 6;
using TArrowPicture = std::array<const char*, kArrowSize>;
constexpr TArrowPicture kUpArrow = {"..##..", ".####.", "######", "..##..", "..##..", "..##.."};
constexpr TArrowPicture kDownArrow = {"..##..", "..##..", "..##..", "######", ".####.", "..##.."};

// Nearest whole number, a half going to the even neighbour.
int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// A one-pixel line from one point to another, leaving out the end point, so that lines joined end
// to start draw each pixel once.
void LineWithoutEnd(QPainter& painter, QPoint from, QPoint to, const QColor& color)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx - dy;
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(std::max(dx, dy)));
    for (QPoint at = from; at != to;) {
        points.push_back(at);
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            at.rx() += stepX;
        }
        if (twice < dx) {
            error += dx;
            at.ry() += stepY;
        }
    }
    painter.setPen(QPen(color, 0));
    painter.drawPoints(points.data(), static_cast<int>(points.size()));
}

void Polyline(QPainter& painter, std::initializer_list<QPoint> points, const QColor& color)
{
    for (auto it = points.begin(); it + 1 != points.end(); ++it)
        LineWithoutEnd(painter, *it, *(it + 1), color);
}

void DrawArrow(QPainter& painter, const TArrowPicture& picture, QPoint topLeft, const QColor& color)
{
    for (int row = 0; row < kArrowSize; ++row)
        for (int column = 0; column < kArrowSize; ++column)
            if (picture[static_cast<std::size_t>(row)][column] == '#')
                painter.fillRect(topLeft.x() + column, topLeft.y() + row, 1, 1, color);
}

}  // namespace

TPzSpinButton::TPzSpinButton(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    resize(kDefaultSize, kDefaultSize);
}

TPzSpinButton::~TPzSpinButton() = default;

TSpinButtonState TPzSpinButton::HalfAt(const QPoint& point) const
{
    const double w = width();
    const double h = height();
    if (w <= 0)
        return sbTopDown;
    return point.y() > h - (h / w) * point.x() ? sbBottomDown : sbTopDown;
}

void TPzSpinButton::Draw(QPainter& painter, const QSize& size, TSpinButtonState state, const QPalette& palette)
{
    const int w = size.width();
    const int h = size.height();
    const QColor face = palette.color(QPalette::Button);
    const QColor frame = palette.color(QPalette::Shadow);
    const QColor highlight = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    const bool upPressed = state == sbTopDown;
    const bool downPressed = state == sbBottomDown;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(0, 0, w, h, face);
    painter.fillRect(0, 0, w, 1, frame);
    painter.fillRect(0, h - 1, w, 1, frame);
    painter.fillRect(0, 0, 1, h, frame);
    painter.fillRect(w - 1, 0, 1, h, frame);
    LineWithoutEnd(painter, {-1, h}, {w, -1}, frame);

    Polyline(painter, {{1, h - 4}, {1, 1}, {w - 3, 1}}, upPressed ? shadow : highlight);
    if (!upPressed)
        LineWithoutEnd(painter, {1, h - 3}, {w - 2, 0}, shadow);
    Polyline(painter, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}}, downPressed ? highlight : shadow);
    LineWithoutEnd(painter, {2, h - 2}, {w - 1, 1}, downPressed ? shadow : highlight);

    const QColor arrow = palette.color(QPalette::ButtonText);
    const int upShift = upPressed ? 2 : 1;
    DrawArrow(painter, kUpArrow,
              {RoundEven(w / 4.0 - kArrowSize / 2.0) + upShift, RoundEven(h / 4.0 - kArrowSize / 2.0) + upShift},
              arrow);
    DrawArrow(painter, kDownArrow,
              {RoundEven(3.0 * w / 4.0 - kArrowSize / 2.0) - 1, RoundEven(3.0 * h / 4.0 - kArrowSize / 2.0) - 1},
              arrow);
    if (downPressed)
        LineWithoutEnd(painter, {3, h - 2}, {w - 1, 2}, shadow);
    painter.restore();
}

void TPzSpinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Draw(painter, size(), down_, palette());
}

void TPzSpinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    FocusTheControl();
    dragging_ = true;
    if (!repeatTimer_) {
        repeatTimer_ = std::make_unique<QTimer>();
        repeatTimer_->setTimerType(Qt::PreciseTimer);
        connect(repeatTimer_.get(), &QTimer::timeout, this, &TPzSpinButton::RepeatStep);
    }
    repeatTimer_->start(kFirstRepeatDelay);
    if (down_ == sbNotDown) {
        dragDown_ = HalfAt(event->position().toPoint());
        SetDown(dragDown_);
        RunStep(dragDown_);
    }
}

void TPzSpinButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (rect().contains(point))
        SetDown(HalfAt(point) == dragDown_ ? dragDown_ : sbNotDown);
    else
        SetDown(sbNotDown);
}

void TPzSpinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragging_)
        EndDrag();
    else
        QWidget::mouseReleaseEvent(event);
}

void TPzSpinButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        EndDrag();
    QWidget::changeEvent(event);
}

void TPzSpinButton::hideEvent(QHideEvent* event)
{
    EndDrag();
    QWidget::hideEvent(event);
}

void TPzSpinButton::SetDown(TSpinButtonState state)
{
    if (down_ == state)
        return;
    down_ = state;
    update();
}

void TPzSpinButton::RunStep(TSpinButtonState half)
{
    // A step may show a dialog that swallows the release of the mouse button, or delete this button.
    const QPointer<TPzSpinButton> self(this);
    const auto& step = half == sbTopDown ? OnTopClick : OnBottomClick;
    if (step)
        step();
    if (self && !HoldsMouse())
        EndDrag();
}

void TPzSpinButton::RepeatStep()
{
    repeatTimer_->setInterval(kRepeatInterval);
    if (!HoldsMouse()) {
        EndDrag();
        return;
    }
    if (down_ == sbNotDown)
        return;
    try {
        RunStep(down_);
    } catch (...) {
        EndDrag();
        throw;
    }
}

void TPzSpinButton::EndDrag()
{
    dragging_ = false;
    if (repeatTimer_)
        repeatTimer_->stop();
    SetDown(sbNotDown);
}

bool TPzSpinButton::HoldsMouse() const
{
    return dragging_ && isEnabled() && (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void TPzSpinButton::FocusTheControl()
{
    QWidget* control = focusControl_;
    if (control && (control->focusPolicy() & Qt::TabFocus) && control->isEnabled() && control->isVisible() &&
        !control->hasFocus())
        control->setFocus(Qt::MouseFocusReason);
}
