#include "app/forms/FormSupport.h"

#include <QFont>
#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The forms name Windows fonts. Left to fontconfig, "MS Sans Serif" becomes
// the much wider DejaVu Sans and captions run into the controls beside them;
// Liberation Sans has Arial's widths, close to those the forms were laid out in.
void SubstituteFormFonts()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
        return true;
    }();
    (void)substituted;
}

}  // namespace

void SetFormFont(QWidget* widget, const QString& family, int pixelHeight, bool bold)
{
    SubstituteFormFonts();
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    widget->setFont(font);
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void ReleaseFocus(QWidget* window)
{
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused != window && window->isAncestorOf(focused))
        focused->clearFocus();
}

void InitAppResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    (void)initialised;
}
