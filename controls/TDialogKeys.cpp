#include "controls/TDialogKeys.h"

#include "controls/TBitBtnXP.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace {

// The first bitmap button of the window itself (not of a window inside it)
// that can be clicked and has the role.
template <typename TRole>
TBitBtnXP* ButtonWithRole(QWidget* window, TRole hasRole)
{
    for (TBitBtnXP* button : window->findChildren<TBitBtnXP*>()) {
        if (button->window() == window && button->isVisible() && button->isEnabled() && hasRole(*button))
            return button;
    }
    return nullptr;
}

}  // namespace

void TDialogKeys::Install(QWidget* window)
{
    if (window == nullptr || window->findChild<TDialogKeys*>(QString(), Qt::FindDirectChildrenOnly) != nullptr)
        return;
    window->installEventFilter(new TDialogKeys(window));
}

TDialogKeys::TDialogKeys(QWidget* window)
    : QObject(window)
    , window_(window)
{
}

bool TDialogKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_ || event->type() != QEvent::KeyPress)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter(key);
    case Qt::Key_Escape:
        return Escape(key);
    default:
        return false;
    }
}

bool TDialogKeys::Enter(const QKeyEvent& key)
{
    if ((key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0)
        return false;
    auto* focused = qobject_cast<QPushButton*>(window_->focusWidget());
    if (focused != nullptr && focused->window() == window_ && focused->isEnabled() && focused->isVisible()) {
        focused->click();
        return true;
    }
    TBitBtnXP* button = ButtonWithRole(window_, [](const TBitBtnXP& b) { return b.Default(); });
    if (button == nullptr)
        return false;
    button->click();
    return true;
}

bool TDialogKeys::Escape(const QKeyEvent& key)
{
    if ((key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0)
        return false;
    TBitBtnXP* button = ButtonWithRole(window_, [](const TBitBtnXP& b) { return b.Cancel(); });
    if (button == nullptr)
        return false;
    button->click();
    return true;
}
