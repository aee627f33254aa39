#pragma once

#include "platform/commands/IAppLauncher.h"

// Application associations of the desktop through GIO's GAppInfo: the
// mimeapps.list files and the desktop files of the XDG data directories.
class TGioAppLauncher final : public IAppLauncher
{
public:
    std::optional<TAppInfo> DefaultAppForType(const std::string& mimeType) override;
    std::vector<TAppInfo> AppsForType(const std::string& mimeType) override;
    [[nodiscard]] bool Launch(const std::string& appId, const std::vector<std::string>& paths,
                              std::string& error) override;
};
