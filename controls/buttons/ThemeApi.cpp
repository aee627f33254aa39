#include "controls/buttons/ThemeApi.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QWidget>

#include <atomic>
#include <mutex>

namespace {

// The style of the themed face: Qt's own cross-desktop look, always built in.
const QString kThemeStyleName = QStringLiteral("Fusion");

struct TLoader
{
    std::mutex lock;
    int users = 0;
    std::shared_ptr<QStyle> style;
    bool postRoutineAdded = false;
};

TLoader& Loader()
{
    static TLoader loader;
    return loader;
}

std::atomic<bool> appThemed{true};
std::atomic<bool> themeActive{true};

// At shutdown the loader gives up every user left, so the style goes while
// the application object still exists.
void ReleaseAllThemeUsers()
{
    while (ThemeApiUsers() > 0)
        ReleaseThemeApi();
}

QStyleOptionButton FaceOption(int stateId, const QRect& rect, const QWidget* widget)
{
    QStyleOptionButton option;
    if (widget != nullptr)
        option.initFrom(widget);
    option.rect = rect;
    option.state &= ~(QStyle::State_Sunken | QStyle::State_MouseOver | QStyle::State_HasFocus);
    option.state |= QStyle::State_Enabled | QStyle::State_Raised;
    switch (stateId) {
    case PBS_HOT: option.state |= QStyle::State_MouseOver; break;
    case PBS_PRESSED:
        option.state |= QStyle::State_Sunken;
        option.state &= ~QStyle::State_Raised;
        break;
    case PBS_DISABLED: option.state &= ~QStyle::State_Enabled; break;
    case PBS_DEFAULTED: option.features |= QStyleOptionButton::DefaultButton; break;
    default: break;
    }
    return option;
}

}  // namespace

bool LoadThemeApi()
{
    TLoader& loader = Loader();
    const std::lock_guard guard(loader.lock);
    ++loader.users;
    if (!loader.style)
        loader.style.reset(QStyleFactory::create(kThemeStyleName));
    if (!loader.postRoutineAdded && QCoreApplication::instance() != nullptr) {
        qAddPostRoutine(ReleaseAllThemeUsers);
        loader.postRoutineAdded = true;
    }
    return loader.style != nullptr;
}

void ReleaseThemeApi()
{
    TLoader& loader = Loader();
    std::shared_ptr<QStyle> unloaded;
    {
        const std::lock_guard guard(loader.lock);
        if (loader.users == 0)
            return;
        if (--loader.users == 0)
            unloaded = std::move(loader.style);
    }
}

int ThemeApiUsers()
{
    TLoader& loader = Loader();
    const std::lock_guard guard(loader.lock);
    return loader.users;
}

bool IsAppThemed()
{
    return appThemed;
}

bool IsThemeActive()
{
    return themeActive;
}

void SetThemeActive(bool active)
{
    themeActive = active;
}

bool ThemesActive()
{
    TLoader& loader = Loader();
    bool loaded = false;
    {
        const std::lock_guard guard(loader.lock);
        loaded = loader.style != nullptr;
    }
    return loaded && IsAppThemed() && IsThemeActive();
}

HTHEME OpenThemeData(QWidget* window, const QString& className)
{
    Q_UNUSED(window);
    if (!ThemesActive())
        return nullptr;
    TLoader& loader = Loader();
    const std::lock_guard guard(loader.lock);
    return std::make_shared<const TThemeData>(TThemeData{loader.style, className});
}

void CloseThemeData(HTHEME& theme)
{
    theme.reset();
}

bool DrawThemeBackground(const HTHEME& theme, QPainter& painter, int partId, int stateId, const QRect& rect,
                         const QWidget* widget)
{
    if (!theme || !theme->Style || partId != BP_PUSHBUTTON)
        return false;
    const QStyleOptionButton option = FaceOption(stateId, rect, widget);
    theme->Style->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, widget);
    return true;
}
