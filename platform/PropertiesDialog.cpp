#include "platform/PropertiesDialog.h"

#include "platform/LastError.h"
#include "platform/MessageBox.h"
#include "platform/TPropertiesDialog.h"

#include <cerrno>
#include <memory>

void ShowPropertiesDialog(const std::vector<std::string>& paths, QWidget* owner)
{
    auto dialog = std::make_unique<TPropertiesDialog>(paths, owner);
    if (!dialog->HasItems()) {
        SetLastError(ENOENT);
        if (owner) {
            TMessageRequest request;
            request.Owner = owner;
            request.Caption = QStringLiteral("Eigenschaften");
            request.Text = QStringLiteral("Die Eigenschaften können nicht angezeigt werden: Das Element wurde nicht gefunden.");
            request.Icon = TMessageIcon::Error;
            ShowMessageBox(request);
        }
        return;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    // From here the dialog deletes itself when it closes.
    dialog.release();
}
