#include "platform/commands/TGioAppLauncher.h"

// GLib's headers name a member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <memory>

namespace {

struct TObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using TGObjectPtr = std::unique_ptr<T, TObjectUnref>;

struct TErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};
using TGErrorPtr = std::unique_ptr<GError, TErrorFree>;

// A list of GAppInfo whose entries and links are freed with it.
struct TAppListFree
{
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using TAppListPtr = std::unique_ptr<GList, TAppListFree>;

// A GFile list whose entries and links are freed with it.
struct TFileListFree
{
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using TFileListPtr = std::unique_ptr<GList, TFileListFree>;

TAppInfo InfoOf(GAppInfo* app)
{
    TAppInfo info;
    if (const char* id = g_app_info_get_id(app))
        info.Id = id;
    info.Name = QString::fromUtf8(g_app_info_get_display_name(app));
    if (GIcon* icon = g_app_info_get_icon(app); icon && G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        if (names && names[0])
            info.IconName = QString::fromUtf8(names[0]);
    }
    return info;
}

}  // namespace

std::optional<TAppInfo> TGioAppLauncher::DefaultAppForType(const std::string& mimeType)
{
    const TGObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(mimeType.c_str(), FALSE));
    if (!app || !g_app_info_get_id(app.get()))
        return std::nullopt;
    return InfoOf(app.get());
}

std::vector<TAppInfo> TGioAppLauncher::AppsForType(const std::string& mimeType)
{
    std::vector<TAppInfo> apps;
    const std::optional<TAppInfo> preferred = DefaultAppForType(mimeType);
    if (preferred)
        apps.push_back(*preferred);
    const TAppListPtr all(g_app_info_get_all_for_type(mimeType.c_str()));
    for (GList* link = all.get(); link; link = link->next) {
        GAppInfo* app = G_APP_INFO(link->data);
        const char* id = g_app_info_get_id(app);
        if (!id || !g_app_info_should_show(app) || (preferred && preferred->Id == id))
            continue;
        apps.push_back(InfoOf(app));
    }
    return apps;
}

bool TGioAppLauncher::Launch(const std::string& appId, const std::vector<std::string>& paths, std::string& error)
{
    const TGObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new(appId.c_str()));
    if (!app) {
        error = "Die Anwendung „" + appId + "“ ist nicht installiert.";
        return false;
    }
    GList* files = nullptr;
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        files = g_list_prepend(files, g_file_new_for_path(path->c_str()));
    const TFileListPtr fileList(files);
    GError* rawError = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(app.get()), fileList.get(), nullptr, &rawError);
    const TGErrorPtr launchError(rawError);
    if (!launched)
        error = launchError ? launchError->message : "Die Anwendung konnte nicht gestartet werden.";
    return launched;
}
