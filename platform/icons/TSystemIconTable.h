#pragma once

#include <QHash>
#include <QIcon>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <vector>

// The icons behind the system image lists: one entry per distinct icon, its
// index given on first use and kept for the run. The small and the large list
// share these indexes, so a row stores one index for both sizes.
//
// An icon is asked for by a list of theme icon names in order of preference
// and one of our own resource icons as the last resort; the first name the
// current icon theme has decides the icon, and the icon is keyed by that name
// (or by the resource path), so two requests that end at the same icon share
// an index. Lookups are thread-safe.
class TSystemIconTable
{
public:
    TSystemIconTable() = default;
    TSystemIconTable(const TSystemIconTable&) = delete;
    TSystemIconTable& operator=(const TSystemIconTable&) = delete;

    // The process-wide table; the first call applies the icon theme rule
    // (platform/icons/IconTheme.h), so make it on the UI thread.
    static TSystemIconTable& Process();

    int IndexOf(const QStringList& themeNames, const QString& fallbackResource);

    int Count() const;
    // Null icon and empty name for an index out of range (-1 included).
    QIcon Icon(int index) const;
    QString IconName(int index) const;

private:
    int IndexOfKeyLocked(const QString& key, const QIcon& icon);

    mutable QMutex mutex_;
    QHash<QString, int> indexByKey_;
    // Remembers which icon a request ended at, so repeated requests skip the theme lookup.
    QHash<QString, int> indexByRequest_;
    std::vector<QIcon> icons_;
    std::vector<QString> keys_;
};

// Our own icons, compiled into the platform library.
extern const QString kFolderResourceIcon;
extern const QString kOpenFolderResourceIcon;
extern const QString kFileResourceIcon;
extern const QString kVolumeResourceIcon;
extern const QString kComputerResourceIcon;
extern const QString kHomeResourceIcon;
extern const QString kTrashResourceIcon;
extern const QString kNetworkResourceIcon;
extern const QString kDesktopResourceIcon;
extern const QString kLinkOverlayResourceIcon;
extern const QString kShareOverlayResourceIcon;

// Makes sure the resources above are registered (the library is static).
void InitPlatformResources();
