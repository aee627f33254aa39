#include "app/work/TModalInputGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace {

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod: return true;
    default: return false;
    }
}

}  // namespace

TModalInputGuard::TModalInputGuard(QWidget* window, std::function<void()> onEscape)
    : window_(window)
    , onEscape_(std::move(onEscape))
{
    QCoreApplication::instance()->installEventFilter(this);
}

TModalInputGuard::~TModalInputGuard()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TModalInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType() || !IsInput(event->type()) || static_cast<QWidget*>(watched)->window() != window_)
        return false;
    // Claiming the key keeps it from firing a shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (key && key->key() == Qt::Key_Escape && onEscape_)
        onEscape_();
    return true;
}
