// Details columns of a TShellNavigator's folder and renaming its current object.
#include "shell/navigator/TShellNavigator.h"

#include "framework/TCursorGuard.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/core/ids/ShellConstants.h"
#include "shell/navigator/functions/ShellNames.h"

#include <QFile>

namespace {

// Pixels per character of a column's default width.
constexpr int kPixelsPerCharacter = 7;

}  // namespace

QString TShellNavigator::GetDetailText(int column, bool header) const
{
    if (!folder_)
        return {};
    if (!header && !object_)
        return {};
    if (column == 0 && !header)
        return GetDisplayName();
    TShellDetails details;
    if (folder_->GetDetailsOf(header ? nullptr : object_.get(), column, details).Failed())
        return {};
    return StrRetToString(details.text);
}

TDetailColumn TShellNavigator::GetDetailColumn(int column) const
{
    TDetailColumn layout;
    if (!folder_)
        return layout;
    TShellDetails details;
    if (folder_->GetDetailsOf(nullptr, column, details).Succeeded()) {
        layout.Alignment = details.format;
        layout.Width = details.charCount * kPixelsPerCharacter;
    }
    std::uint32_t state = 0;
    if (folder_->GetDefaultColumnState(column, state).Succeeded() &&
        (!(state & SHCOLSTATE_ONBYDEFAULT) || (state & SHCOLSTATE_HIDDEN)))
        layout.Width = 0;
    return layout;
}

bool TShellNavigator::RenameObject(QString& newName)
{
    if (!folder_ || !object_) {
        SetLastError(ENOENT);
        return false;
    }
    const TCursorGuard hourglass;
    const QString oldName = GetDisplayName();
    TItemIdListPtr renamed;
    const TShellResult result =
        folder_->SetNameOf(object_.get(), QFile::encodeName(newName).toStdString(), SHGDN_INFOLDER, &renamed);
    if (result.Failed()) {
        if (QWidget* owner = GetOwnerWindow()) {
            TMessageRequest request;
            request.Owner = owner;
            request.Caption = QStringLiteral("Fehler beim Umbenennen");
            request.Text = QStringLiteral("„%1“ kann nicht in „%2“ umbenannt werden:\n%3")
                               .arg(oldName, newName, QString::fromLocal8Bit(GetSystemErrorText(result.Error())));
            request.Icon = TMessageIcon::Error;
            ShowMessageBox(request);
        }
        SetLastError(result.Error());
        newName = oldName;
        return false;
    }
    if (renamed)
        SetObjectIDList(renamed.get());
    newName = GetDisplayName();
    return true;
}
