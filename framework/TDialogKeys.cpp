#include "framework/TDialogKeys.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QPushButton>
#include <QWidget>

namespace {

// The first push button of the window itself (not of a window inside it) that
// can be clicked and plays the role. Only buttons that declare the roles
// "default" and "cancel" as properties of their own (the bitmap buttons) take
// part; a plain QPushButton's "default" is the auto-default look, not a role.
QPushButton* ButtonWithRole(QWidget* window, const char* role)
{
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        const bool declaresRoles = button->metaObject()->indexOfProperty("cancel") >= 0;
        if (button->window() == window && declaresRoles && button->isVisible() && button->isEnabled() &&
            button->property(role).toBool())
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
    case Qt::Key_Enter: return Enter(key);
    case Qt::Key_Escape: return Escape(key);
    default: return false;
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
    QPushButton* button = ButtonWithRole(window_, "default");
    if (button == nullptr)
        return false;
    button->click();
    return true;
}

bool TDialogKeys::Escape(const QKeyEvent& key)
{
    if ((key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0)
        return false;
    QPushButton* button = ButtonWithRole(window_, "cancel");
    if (button == nullptr)
        return false;
    button->click();
    return true;
}
