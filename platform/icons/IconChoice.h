#pragma once

#include <QString>
#include <QStringList>

#include <string>

// Which icon an object of the shell namespace shows: theme icon names in
// order of preference, then one of our own icons (TSystemIconTable).
struct TIconChoice
{
    QStringList themeNames;
    QString fallbackResource;
};

enum TIconPlace {
    ipDesktop,
    ipHome,
    ipComputer,
    ipNetwork,
    ipTrash,
    ipFullTrash,
    ipVolume,
    ipRemovableVolume,
    ipNetworkVolume,
    ipFolder,
    ipFile
};

TIconChoice PlaceIconChoice(TIconPlace place, bool open);

// A directory: the places icons for home, the desktop directory and the
// user's XDG folders (documents, downloads, ...), else a plain folder.
TIconChoice FolderIconChoice(const std::string& path, bool open);

// A file by the MIME type of its name (no disk access): the type's icon,
// its generic icon, then the generic file icons.
TIconChoice FileIconChoice(const std::string& fileName);

// A path on disk: a folder for directories (and links to them), a file by
// name otherwise; a broken symbolic link shows the link type's icon.
// Empty theme names and no resource when the path does not exist.
TIconChoice PathIconChoice(const std::string& path, bool open);
