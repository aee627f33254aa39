#include "platform/dialogs/TPropertiesDialog.h"

#include "platform/namespace/items/DetailTexts.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"
#include "platform/dialogs/PropertyTexts.h"
#include "platform/notify/ShellChangeNotify.h"
#include "platform/icons/ShellFileInfo.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/core/files/TFolderSizeCounter.h"
#include "platform/dialogs/TPermissionEditor.h"
#include "platform/icons/TSystemImageList.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <set>
#include <unistd.h>

namespace {

// How often the growing totals of a folder count are shown: smooth to the
// eye without redrawing for every file.
constexpr int kCountRefreshMs = 100;

QString Show(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// "/a/b/" and "/a/b" are the same item; "/" stays "/".
std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string LastName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || path == "/" ? path : path.substr(slash + 1);
}

std::string ParentPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/")
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string LinkTarget(const std::string& path)
{
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    return length < 0 ? std::string() : target.substr(0, static_cast<std::size_t>(length));
}

// A mount point or "/" cannot be renamed from here.
bool IsVolumeRoot(const std::string& path, const struct stat& status)
{
    struct stat parent;
    const std::string parentPath = ParentPath(path);
    return parentPath.empty() || ::stat(parentPath.c_str(), &parent) != 0 || parent.st_dev != status.st_dev;
}

bool IsValidName(const QString& text, const std::string& name)
{
    return !text.isEmpty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

TPropertiesDialog::TPropertiesDialog(const std::vector<std::string>& paths, QWidget* owner)
    : QDialog(owner)
{
    for (const std::string& given : paths) {
        TItem item;
        item.path = WithoutTrailingSlash(given);
        struct stat own;
        if (::lstat(item.path.c_str(), &own) != 0)
            continue;
        item.isLink = S_ISLNK(own.st_mode);
        // A broken link shows itself.
        if (!item.isLink || ::stat(item.path.c_str(), &item.status) != 0)
            item.status = own;
        items_.push_back(std::move(item));
    }

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    if (items_.size() == 1)
        BuildOneItem(*form, items_.front());
    else if (!items_.empty())
        BuildSeveralItems(*form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPropertiesDialog::reject);
    layout->addWidget(buttons);
    StartCount();
}

TPropertiesDialog::~TPropertiesDialog() = default;

QLabel* TPropertiesDialog::AddValue(QFormLayout& form, const QString& caption, const QString& objectName,
                                    const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    form.addRow(caption, label);
    return label;
}

void TPropertiesDialog::BuildOneItem(QFormLayout& form, const TItem& item)
{
    const std::string name = LastName(item.path);
    const bool isFolder = S_ISDIR(item.status.st_mode);
    setWindowTitle(QStringLiteral("Eigenschaften von ") + Show(name));

    auto* icon = new QLabel(this);
    const TShFileInfo info = SHGetFileInfo(item.path, 0, SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    if (info.succeeded)
        icon->setPixmap(TSystemImageList::Get(ilsLarge).Pixmap(info.iIcon));
    shownName_ = Show(name);
    nameEdit_ = new QLineEdit(shownName_, this);
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));
    nameEdit_->setReadOnly(IsVolumeRoot(item.path, item.status));
    form.addRow(icon, nameEdit_);

    AddValue(form, QStringLiteral("Typ:"), QStringLiteral("typeValue"), FileTypeText(name, isFolder));
    if (item.isLink)
        AddValue(form, QStringLiteral("Verknüpfung zu:"), QStringLiteral("linkTargetValue"),
                 Show(LinkTarget(item.path)));
    AddValue(form, QStringLiteral("Ort:"), QStringLiteral("locationValue"), Show(ParentPath(item.path)));
    sizeValue_ = AddValue(
        form, QStringLiteral("Größe:"), QStringLiteral("sizeValue"),
        FormatByteSizeText(S_ISREG(item.status.st_mode) ? static_cast<std::uint64_t>(item.status.st_size) : 0));
    if (isFolder)
        contentsValue_ = AddValue(form, QStringLiteral("Inhalt:"), QStringLiteral("contentsValue"), QString());
    AddValue(form, QStringLiteral("Geändert am:"), QStringLiteral("modifiedValue"),
             FormatLongDateText(item.status.st_mtim));
    AddValue(form, QStringLiteral("Letzter Zugriff:"), QStringLiteral("accessedValue"),
             FormatLongDateText(item.status.st_atim));
    AddValue(form, QStringLiteral("Status geändert:"), QStringLiteral("changedValue"),
             FormatLongDateText(item.status.st_ctim));
    // A broken link has no permissions of its own to change.
    if (!S_ISLNK(item.status.st_mode)) {
        permissions_ = new TPermissionEditor(item.status.st_mode, this);
        form.addRow(QStringLiteral("Berechtigungen:"), permissions_);
    }
}

void TPropertiesDialog::BuildSeveralItems(QFormLayout& form)
{
    std::set<QString> types;
    std::set<std::string> folders;
    for (const TItem& item : items_) {
        const bool isFolder = S_ISDIR(item.status.st_mode);
        types.insert(FileTypeText(LastName(item.path), isFolder));
        folders.insert(ParentPath(item.path));
        if (isFolder) {
            ++ownFolders_;
        } else {
            ++ownFiles_;
            if (S_ISREG(item.status.st_mode))
                ownBytes_ += static_cast<std::uint64_t>(item.status.st_size);
        }
    }
    setWindowTitle(QStringLiteral("Eigenschaften von %1 Elementen").arg(items_.size()));
    AddValue(form, QStringLiteral("Auswahl:"), QStringLiteral("selectionValue"),
             FormatCountText(ownFiles_, ownFolders_));
    AddValue(form, QStringLiteral("Typ:"), QStringLiteral("typeValue"),
             types.size() == 1 ? QStringLiteral("Alle vom Typ ") + *types.begin()
                               : QStringLiteral("Verschiedene Typen"));
    AddValue(form, QStringLiteral("Ort:"), QStringLiteral("locationValue"),
             folders.size() == 1 ? QStringLiteral("Alle in ") + Show(*folders.begin())
                                 : QStringLiteral("Verschiedene Ordner"));
    sizeValue_ = AddValue(form, QStringLiteral("Größe:"), QStringLiteral("sizeValue"), FormatByteSizeText(ownBytes_));
    contentsValue_ = AddValue(form, QStringLiteral("Inhalt:"), QStringLiteral("contentsValue"),
                              FormatCountText(ownFiles_, ownFolders_));
}

void TPropertiesDialog::StartCount()
{
    std::vector<std::string> folders;
    for (const TItem& item : items_) {
        if (S_ISDIR(item.status.st_mode))
            folders.push_back(item.path);
    }
    if (folders.empty())
        return;
    countDone_ = false;
    counter_ = std::make_unique<TFolderSizeCounter>(std::move(folders));
    countTimer_.setInterval(kCountRefreshMs);
    connect(&countTimer_, &QTimer::timeout, this, [this] { UpdateTotals(); });
    countTimer_.start();
    UpdateTotals();
}

void TPropertiesDialog::UpdateTotals()
{
    if (!counter_)
        return;
    const TFolderSizeCounter::TTotals totals = counter_->Totals();
    sizeValue_->setText(FormatByteSizeText(ownBytes_ + totals.bytes));
    const QString counted = FormatCountText(ownFiles_ + totals.files, ownFolders_ + totals.folders);
    contentsValue_->setText(totals.done ? counted : counted + QStringLiteral(" (wird gezählt …)"));
    if (totals.done) {
        countTimer_.stop();
        countDone_ = true;
    }
}

void TPropertiesDialog::accept()
{
    if (!ApplyName() || !ApplyPermissions())
        return;
    QDialog::accept();
}

void TPropertiesDialog::done(int result)
{
    countTimer_.stop();
    counter_.reset();
    QDialog::done(result);
}

bool TPropertiesDialog::ApplyName()
{
    if (!nameEdit_ || nameEdit_->isReadOnly())
        return true;
    TItem& item = items_.front();
    const QString text = nameEdit_->text();
    const std::string oldName = LastName(item.path);
    const std::string newName = QFile::encodeName(text).toStdString();
    if (text == shownName_ || newName == oldName)
        return true;
    const QString what = QStringLiteral("„%1“ kann nicht in „%2“ umbenannt werden").arg(Show(oldName), text);
    if (!IsValidName(text, newName)) {
        ShowError(QStringLiteral("Umbenennen"),
                  what + QStringLiteral(": Ein Name darf weder leer sein noch „/“ enthalten."));
        return false;
    }

    int error = 0;
    const TItemIdListPtr absolute = SHParseDisplayName(item.path);
    const IShellFolderPtr parent =
        absolute ? SHBindToFolder(TruncateIDList(absolute.get(), IDListCount(absolute.get()) - 1).get()) : nullptr;
    if (!parent)
        error = GetLastError() != 0 ? GetLastError() : ENOENT;
    else if (const TShellResult renamed =
                 parent->SetNameOf(LastIDListItem(absolute.get()), newName, SHGDN_INFOLDER, nullptr);
             renamed.Failed())
        error = renamed.Error();
    if (error == EEXIST) {
        ShowError(QStringLiteral("Umbenennen"),
                  what + QStringLiteral(": Es gibt dort bereits ein Element mit diesem Namen."));
        return false;
    }
    if (error != 0) {
        ShowError(QStringLiteral("Umbenennen"), what + ": " + QString::fromStdString(GetSystemErrorText(error)));
        return false;
    }

    // The folder has told the panes.
    const std::string newPath = (ParentPath(item.path) == "/" ? std::string() : ParentPath(item.path)) + "/" + newName;
    item.path = newPath;
    shownName_ = text;
    setWindowTitle(QStringLiteral("Eigenschaften von ") + text);
    return true;
}

bool TPropertiesDialog::ApplyPermissions()
{
    if (!permissions_ || !permissions_->IsChanged())
        return true;
    const TItem& item = items_.front();
    if (::chmod(item.path.c_str(), permissions_->Mode() & 07777) != 0) {
        const int error = errno;
        SetLastError(error);
        ShowError(QStringLiteral("Berechtigungen"),
                  QStringLiteral("Die Berechtigungen von „%1“ können nicht geändert werden: %2")
                      .arg(Show(LastName(item.path)), QString::fromStdString(GetSystemErrorText(error))));
        return false;
    }
    SHChangeNotify(SHCNE_ATTRIBUTES, item.path);
    return true;
}

void TPropertiesDialog::ShowError(const QString& caption, const QString& text)
{
    TMessageRequest request;
    request.Owner = this;
    request.Caption = caption;
    request.Text = text;
    request.Icon = TMessageIcon::Error;
    ShowMessageBox(request);
}
