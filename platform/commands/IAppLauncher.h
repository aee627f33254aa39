#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// An application the desktop associates with a file type.
struct TAppInfo
{
    std::string Id;    // desktop file id, e.g. "org.gnome.gedit.desktop"
    QString Name;      // the name to show
    QString IconName;  // theme icon name; empty when none
};

// The desktop's application associations and the launching of applications
// with files ("open", "Öffnen mit"). Tests put a recording one in place.
class IAppLauncher
{
public:
    virtual ~IAppLauncher() = default;
    // The application that opens files of a MIME type by default.
    virtual std::optional<TAppInfo> DefaultAppForType(const std::string& mimeType) = 0;
    // Every application for a MIME type, the default one first.
    virtual std::vector<TAppInfo> AppsForType(const std::string& mimeType) = 0;
    // Starts the application with the files (native paths); false and a text
    // (UTF-8) on failure.
    [[nodiscard]] virtual bool Launch(const std::string& appId, const std::vector<std::string>& paths,
                                      std::string& error) = 0;
};

using IAppLauncherPtr = std::shared_ptr<IAppLauncher>;
