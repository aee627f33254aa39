#include "controls/spin/TPzUpDown.h"

#include "controls/spin/TPzSpinButton.h"

#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton* MakeArrowButton(QWidget* parent, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(TPzSpinButton::kFirstRepeatDelay);
    button->setAutoRepeatInterval(TPzSpinButton::kRepeatInterval);
    return button;
}

}  // namespace

TPzUpDown::TPzUpDown(QWidget* parent)
    : QWidget(parent)
    , up_(MakeArrowButton(this, Qt::UpArrow))
    , down_(MakeArrowButton(this, Qt::DownArrow))
{
    connect(up_, &QToolButton::clicked, this, [this] {
        if (OnUp)
            OnUp();
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        if (OnDown)
            OnDown();
    });
}

int TPzUpDown::PreferredWidth() const
{
    return std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), kMaxWidth);
}

void TPzUpDown::resizeEvent(QResizeEvent* event)
{
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
    QWidget::resizeEvent(event);
}
