#include "platform/core/text/FileUri.h"

#include <glib.h>

#include <memory>

namespace {

struct TGFreeDeleter
{
    void operator()(gchar* text) const { g_free(text); }
};

}  // namespace

std::string FileUriFromPath(const std::string& absolutePath)
{
    if (absolutePath.empty() || absolutePath.front() != '/')
        return {};
    const std::unique_ptr<gchar, TGFreeDeleter> uri(g_filename_to_uri(absolutePath.c_str(), nullptr, nullptr));
    return uri ? std::string(uri.get()) : std::string();
}
