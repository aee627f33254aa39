#include "platform/dialogs/TConflictPrompt.h"

#include <sys/stat.h>

#include <QFile>

#include "platform/core/files/FileTreeOps.h"
#include "framework/MessageBox.h"

namespace {

bool IsFolder(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

QString Quoted(const std::string& text)
{
    return QStringLiteral("„") + QFile::decodeName(QByteArray::fromStdString(text)) + QStringLiteral("“");
}

}  // namespace

TConflictChoice TConflictPrompt::Ask(const std::string& source, const std::string& target)
{
    if (forAll_)
        return *forAll_;
    const bool merge = IsFolder(source) && IsFolder(target);
    TMessageRequest request;
    request.Owner = owner_;
    request.Icon = TMessageIcon::Question;
    request.Caption = merge ? QStringLiteral("Ordner zusammenführen") : QStringLiteral("Datei ersetzen");
    const QString name = Quoted(BaseName(target));
    const QString folder = Quoted(DirName(target));
    request.Text = merge ? QStringLiteral("Der Ordner %1 ist in %2 bereits vorhanden.\n\n"
                                          "Beim Ersetzen werden beide Ordner zusammengeführt; für gleichnamige "
                                          "Dateien darin wird einzeln gefragt.")
                               .arg(name, folder)
                         : QStringLiteral("In %1 gibt es bereits ein Element namens %2.\n\n"
                                          "Möchten Sie es durch %3 ersetzen?")
                               .arg(folder, name, Quoted(source));
    request.Buttons = {QStringLiteral("Ersetzen"), QStringLiteral("Überspringen"), QStringLiteral("Abbrechen")};
    request.DefaultButton = 0;
    request.EscapeButton = 2;
    request.CheckBoxText = QStringLiteral("Für alle weiteren Konflikte übernehmen");
    const TMessageAnswer answer = ShowMessageBox(request);
    TConflictChoice choice = TConflictChoice::Cancel;
    if (answer.Button == 0)
        choice = TConflictChoice::Replace;
    else if (answer.Button == 1)
        choice = TConflictChoice::Skip;
    if (answer.Checked && choice != TConflictChoice::Cancel)
        forAll_ = choice;
    return choice;
}
