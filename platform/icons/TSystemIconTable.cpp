#include "platform/icons/TSystemIconTable.h"

#include "platform/icons/IconTheme.h"

#include <QMutexLocker>

const QString kFolderResourceIcon = QStringLiteral(":/parzello/icons/folder.svg");
const QString kOpenFolderResourceIcon = QStringLiteral(":/parzello/icons/folder-open.svg");
const QString kFileResourceIcon = QStringLiteral(":/parzello/icons/file.svg");
const QString kVolumeResourceIcon = QStringLiteral(":/parzello/icons/volume.svg");
const QString kComputerResourceIcon = QStringLiteral(":/parzello/icons/computer.svg");
const QString kHomeResourceIcon = QStringLiteral(":/parzello/icons/home.svg");
const QString kTrashResourceIcon = QStringLiteral(":/parzello/icons/trash.svg");
const QString kNetworkResourceIcon = QStringLiteral(":/parzello/icons/network.svg");
const QString kDesktopResourceIcon = QStringLiteral(":/parzello/icons/desktop.svg");
const QString kLinkOverlayResourceIcon = QStringLiteral(":/parzello/icons/overlay-link.svg");
const QString kShareOverlayResourceIcon = QStringLiteral(":/parzello/icons/overlay-share.svg");

void InitPlatformResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(platform_icons);
        return true;
    }();
    (void)initialised;
}

TSystemIconTable& TSystemIconTable::Process()
{
    static TSystemIconTable* const table = [] {
        InitPlatformResources();
        ApplyIconThemeRule();
        // Lives for the whole run: image lists and rows keep its indexes.
        return new TSystemIconTable();
    }();
    return *table;
}

int TSystemIconTable::IndexOf(const QStringList& themeNames, const QString& fallbackResource)
{
    InitPlatformResources();
    const QString request = themeNames.join(QLatin1Char('\n')) + QLatin1Char('\n') + fallbackResource;
    QMutexLocker lock(&mutex_);
    if (const auto cached = indexByRequest_.constFind(request); cached != indexByRequest_.constEnd())
        return *cached;

    int index = -1;
    for (const QString& name : themeNames) {
        if (name.isEmpty())
            continue;
        if (const auto known = indexByKey_.constFind(name); known != indexByKey_.constEnd()) {
            index = *known;
            break;
        }
        if (QIcon::hasThemeIcon(name)) {
            index = IndexOfKeyLocked(name, QIcon::fromTheme(name));
            break;
        }
    }
    if (index < 0 && !fallbackResource.isEmpty())
        index = IndexOfKeyLocked(fallbackResource, QIcon(fallbackResource));
    indexByRequest_.insert(request, index);
    return index;
}

int TSystemIconTable::IndexOfKeyLocked(const QString& key, const QIcon& icon)
{
    if (const auto known = indexByKey_.constFind(key); known != indexByKey_.constEnd())
        return *known;
    const int index = static_cast<int>(icons_.size());
    icons_.push_back(icon);
    keys_.push_back(key);
    indexByKey_.insert(key, index);
    return index;
}

int TSystemIconTable::Count() const
{
    QMutexLocker lock(&mutex_);
    return static_cast<int>(icons_.size());
}

QIcon TSystemIconTable::Icon(int index) const
{
    QMutexLocker lock(&mutex_);
    if (index < 0 || index >= static_cast<int>(icons_.size()))
        return {};
    return icons_[static_cast<std::size_t>(index)];
}

QString TSystemIconTable::IconName(int index) const
{
    QMutexLocker lock(&mutex_);
    if (index < 0 || index >= static_cast<int>(keys_.size()))
        return {};
    return keys_[static_cast<std::size_t>(index)];
}
