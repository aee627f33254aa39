#include "platform/icons/IconChoice.h"

#include "platform/icons/TSystemIconTable.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

#include <sys/stat.h>

#include <unordered_map>

namespace {

QString NativeToQString(const std::string& bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string QStringToNative(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The user's special folders with their icon names. QStandardPaths reads
// user-dirs.dirs on every call, so the table is kept until HOME or the
// configuration folder changes (tests move both).
class TSpecialFolderIcons
{
public:
    QString IconNameOf(const std::string& path)
    {
        const QByteArray environment = qgetenv("HOME") + '\n' + qgetenv("XDG_CONFIG_HOME");
        QMutexLocker lock(&mutex_);
        if (environment != environment_ || !filled_) {
            environment_ = environment;
            Fill();
        }
        const auto found = names_.find(WithoutTrailingSlash(path));
        return found == names_.end() ? QString() : found->second;
    }

private:
    void Fill()
    {
        names_.clear();
        filled_ = true;
        const std::string home = WithoutTrailingSlash(QStringToNative(QDir::homePath()));
        const struct
        {
            QStandardPaths::StandardLocation location;
            const char* iconName;
        } folders[] = {
            {QStandardPaths::DesktopLocation, "user-desktop"},
            {QStandardPaths::DocumentsLocation, "folder-documents"},
            {QStandardPaths::DownloadLocation, "folder-download"},
            {QStandardPaths::MusicLocation, "folder-music"},
            {QStandardPaths::PicturesLocation, "folder-pictures"},
            {QStandardPaths::MoviesLocation, "folder-videos"},
        };
        for (const auto& folder : folders) {
            const std::string path =
                WithoutTrailingSlash(QStringToNative(QStandardPaths::writableLocation(folder.location)));
            // XDG folders that are not set fall back to the home folder itself.
            if (!path.empty() && path != home)
                names_.emplace(path, QString::fromLatin1(folder.iconName));
        }
        names_[home] = QStringLiteral("user-home");
    }

    QMutex mutex_;
    QByteArray environment_;
    bool filled_ = false;
    std::unordered_map<std::string, QString> names_;
};

TSpecialFolderIcons& SpecialFolderIcons()
{
    static TSpecialFolderIcons icons;
    return icons;
}

TIconChoice FolderChoice(const QString& specialName, bool open)
{
    TIconChoice choice;
    if (!specialName.isEmpty())
        choice.themeNames << specialName;
    if (open)
        choice.themeNames << QStringLiteral("folder-open");
    choice.themeNames << QStringLiteral("folder");
    choice.fallbackResource = open ? kOpenFolderResourceIcon : kFolderResourceIcon;
    return choice;
}

TIconChoice MimeChoice(const QMimeType& mime)
{
    TIconChoice choice;
    if (mime.isValid()) {
        choice.themeNames << mime.iconName() << mime.genericIconName();
    }
    choice.themeNames << QStringLiteral("application-x-generic") << QStringLiteral("text-x-generic");
    choice.fallbackResource = kFileResourceIcon;
    return choice;
}

}  // namespace

TIconChoice PlaceIconChoice(TIconPlace place, bool open)
{
    const auto make = [](std::initializer_list<const char*> names, const QString& resource) {
        TIconChoice choice;
        for (const char* name : names)
            choice.themeNames << QString::fromLatin1(name);
        choice.fallbackResource = resource;
        return choice;
    };
    switch (place) {
    case ipDesktop: return make({"user-desktop"}, kDesktopResourceIcon);
    case ipHome: return make({"user-home"}, kHomeResourceIcon);
    case ipComputer: return make({"computer"}, kComputerResourceIcon);
    case ipNetwork: return make({"network-workgroup", "network-server"}, kNetworkResourceIcon);
    case ipTrash: return make({"user-trash"}, kTrashResourceIcon);
    case ipFullTrash: return make({"user-trash-full", "user-trash"}, kTrashResourceIcon);
    case ipVolume: return make({"drive-harddisk"}, kVolumeResourceIcon);
    case ipRemovableVolume: return make({"drive-removable-media", "drive-harddisk"}, kVolumeResourceIcon);
    case ipNetworkVolume: return make({"folder-remote", "network-server", "drive-harddisk"}, kVolumeResourceIcon);
    case ipFolder: return FolderChoice({}, open);
    case ipFile: return MimeChoice({});
    }
    return {};
}

TIconChoice FolderIconChoice(const std::string& path, bool open)
{
    return FolderChoice(SpecialFolderIcons().IconNameOf(path), open);
}

TIconChoice FileIconChoice(const std::string& fileName)
{
    const QMimeDatabase database;
    const QList<QMimeType> types = database.mimeTypesForFileName(NativeToQString(fileName));
    return MimeChoice(types.isEmpty() ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
                                      : types.first());
}

TIconChoice PathIconChoice(const std::string& path, bool open)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return FolderIconChoice(path, open);
        if (S_ISREG(info.st_mode)) {
            const std::size_t slash = path.rfind('/');
            return FileIconChoice(slash == std::string::npos ? path : path.substr(slash + 1));
        }
        // FIFOs, sockets and devices: the database types them by their mode.
        return MimeChoice(QMimeDatabase().mimeTypeForFile(NativeToQString(path)));
    }
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        return MimeChoice(QMimeDatabase().mimeTypeForName(QStringLiteral("inode/symlink")));
    return {};
}
