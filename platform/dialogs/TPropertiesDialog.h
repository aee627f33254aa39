#pragma once

#include <QDialog>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

class QFormLayout;
class QLabel;
class QLineEdit;
class TFolderSizeCounter;
class TPermissionEditor;

// The properties of one or several files and folders, in German.
//
// One item: its name (editable: OK renames it, never over an existing entry),
// type, the target of a symbolic link, location, size, for a folder the count
// of what it holds, the dates of the last change, access and status change,
// and the permissions (editable: OK applies them). Several items: how many
// files and folders were chosen, their common type and folder when they share
// one, the total size and count.
//
// Folders are counted on a thread of their own (TFolderSizeCounter); the size
// and count lines grow while it runs and the count stops when the dialog
// closes. Each value label has an object name ("typeValue", "sizeValue",
// "contentsValue" ...) so that its text can be read back.
class TPropertiesDialog final : public QDialog
{
public:
    // `paths` are absolute paths (native bytes); ones that do not exist are left out.
    explicit TPropertiesDialog(const std::vector<std::string>& paths, QWidget* owner = nullptr);
    ~TPropertiesDialog() override;

    // Whether there is anything to show.
    bool HasItems() const { return !items_.empty(); }
    // Whether the folders have been counted to the end and the labels show it.
    bool IsCountDone() const { return countDone_; }

    // Renames and applies changed permissions; stays open when one fails.
    void accept() override;
    // Stops the count before the dialog closes.
    void done(int result) override;

private:
    struct TItem
    {
        std::string path;
        struct stat status
        {};  // of the link's target where there is one
        bool isLink = false;
    };

    void BuildOneItem(QFormLayout& form, const TItem& item);
    void BuildSeveralItems(QFormLayout& form);
    QLabel* AddValue(QFormLayout& form, const QString& caption, const QString& objectName, const QString& text);
    void StartCount();
    void UpdateTotals();
    [[nodiscard]] bool ApplyName();
    [[nodiscard]] bool ApplyPermissions();
    void ShowError(const QString& caption, const QString& text);

    std::vector<TItem> items_;
    QLineEdit* nameEdit_ = nullptr;
    // The name as first shown: a name that is not valid UTF-8 does not survive
    // a round trip through the edit's text, so only a changed text renames.
    QString shownName_;
    TPermissionEditor* permissions_ = nullptr;
    QLabel* sizeValue_ = nullptr;
    QLabel* contentsValue_ = nullptr;
    // What the chosen items themselves add to the totals.
    std::uint64_t ownFiles_ = 0;
    std::uint64_t ownFolders_ = 0;
    std::uint64_t ownBytes_ = 0;
    QTimer countTimer_;
    bool countDone_ = true;
    std::unique_ptr<TFolderSizeCounter> counter_;
};
