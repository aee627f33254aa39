#include "platform/dialogs/PropertiesDialog.h"

#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/dialogs/TPropertiesDialog.h"

#include <cerrno>
#include <memory>

namespace {

// Opens the dialog; false when none of the paths exists.
[[nodiscard]] bool OpenDialog(const std::vector<std::string>& paths, QWidget* owner)
{
    auto dialog = std::make_unique<TPropertiesDialog>(paths, owner);
    if (!dialog->HasItems()) {
        SetLastError(ENOENT);
        if (owner) {
            TMessageRequest request;
            request.Owner = owner;
            request.Caption = QStringLiteral("Eigenschaften");
            request.Text =
                QStringLiteral("Die Eigenschaften können nicht angezeigt werden: Das Element wurde nicht gefunden.");
            request.Icon = TMessageIcon::Error;
            ShowMessageBox(request);
        }
        return false;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    // From here the dialog deletes itself when it closes.
    dialog.release();
    return true;
}

}  // namespace

void ShowPropertiesDialog(const std::vector<std::string>& paths, QWidget* owner)
{
    // The dialog's own message box and last error report a failure here.
    static_cast<void>(OpenDialog(paths, owner));
}

bool ShowItemPropertiesDialog(QWidget* owner, std::span<const TItemIdList* const> items)
{
    std::vector<std::string> paths;
    for (const TItemIdList* item : items) {
        if (std::string path = SHGetPathFromIDList(item); !path.empty())
            paths.push_back(std::move(path));
    }
    return OpenDialog(paths, owner);
}
